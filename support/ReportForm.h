// Texts of the problem-report dialog and the upload request, built without Windows.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The boundary as the Content-Type header names it; parts begin with "--" before it.
extern const char* const kReportBoundary;

// One part of the upload: a text field, or a file (value = the file's bytes).
struct C_FormPart {
    std::string name, value;
    bool isFile = false;
    std::string fileName;
};

// "Content-Type: multipart/form-data; boundary=..." without a line end.
std::string ReportContentType();
std::string BuildMultipartBody(const std::vector<C_FormPart>& parts);

// The web address in the version texts: from the first "http://" of "Comments", else of
// "SpecialBuild", cut before the first "]". Empty when neither holds one.
std::string FindWebAddress(const std::string& comments, const std::string& specialBuild);
// The message under the heading; link = the text goes into a link control.
std::string ProblemMessage(const std::string& company, const std::string& webAddress, bool link);
// The line that names the files to be sent (given as full paths); empty without files.
std::string FilesLine(const std::vector<std::string>& files, bool link);

// "host" or "host:port"; the port is 80 unless a valid one follows the last colon.
void SplitHostPort(const std::string& text, std::string* host, uint16_t* port);

// The identifier text sent as "g": a one-way digest of the hardware facts, so no serial
// number leaves the machine. 16 upper-case hex digits.
std::string HashMachineFacts(const std::string& facts);
// SHA-256 of the bytes, as 64 lower-case hex digits.
std::string Sha256Hex(const void* data, size_t size);
