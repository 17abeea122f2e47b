#include <gtest/gtest.h>
#include <string>
#include "support/ReportForm.h"

TEST(ReportForm, MultipartBodyWithEmptyFieldsAndFiles)
{
    std::vector<C_FormPart> parts;
    parts.push_back({"a", "r", false, ""});
    parts.push_back({"e", "", false, ""});
    C_FormPart file;
    file.name = "d";
    file.isFile = true;
    file.fileName = "Quellmor_Debug.dmp";
    file.value = std::string("MDMP\0\r\n", 7);
    parts.push_back(file);
    EXPECT_EQ(ReportContentType(),
              "Content-Type: multipart/form-data; boundary=-----------------------------1234567890123");
    std::string expected = "-------------------------------1234567890123\r\n"
                           "Content-Disposition: form-data; name=\"a\"\r\n\r\nr\r\n"
                           "-------------------------------1234567890123\r\n"
                           "Content-Disposition: form-data; name=\"e\"\r\n\r\n\r\n"
                           "-------------------------------1234567890123\r\n"
                           "Content-Disposition: form-data; name=\"d\"; filename=\"Quellmor_Debug.dmp\"\r\n"
                           "Content-Type: application/octet-stream\r\n\r\n";
    expected += file.value;
    expected += "-------------------------------1234567890123--\r\n";
    EXPECT_EQ(BuildMultipartBody(parts), expected);
    EXPECT_EQ(BuildMultipartBody({}), "-------------------------------1234567890123--\r\n");
}

TEST(ReportForm, WebAddressFromTheVersionTexts)
{
    EXPECT_EQ(FindWebAddress("see [http://www.example.com/tool/] for news", ""),
              "http://www.example.com/tool/");
    EXPECT_EQ(FindWebAddress("http://a.example/x", "http://b.example/"), "http://a.example/x");
    EXPECT_EQ(FindWebAddress("no address", "build [http://b.example/]]"), "http://b.example/");
    EXPECT_EQ(FindWebAddress("https://secure.example/", ""), "") << "only http:// counts";
    EXPECT_EQ(FindWebAddress("", ""), "");
}

TEST(ReportForm, MessageAndFilesLineInBothForms)
{
    EXPECT_EQ(ProblemMessage("", "", true), "Please tell us about this problem.");
    EXPECT_EQ(ProblemMessage("Velantix", "http://v.example/", true),
              "Please tell Velantix about this problem.\n\nYou can check the website "
              "<a href=\"http://v.example/\">http://v.example/</a> for a newer version.");
    EXPECT_EQ(
        ProblemMessage("Velantix", "http://v.example/", false),
        "Please tell Velantix about this problem.\n\nYou can check the website 'http://v.example/' for a "
        "newer version.");
    std::vector<std::string> two = {"C:\\Q\\Quellmor_Debug.dmp", "C:\\Q\\Quellmor_Debug.txt"};
    EXPECT_EQ(FilesLine(two, true),
              "The files <a href=\"C:\\Q\\Quellmor_Debug.dmp\">Quellmor_Debug.dmp</a> and <a "
              "href=\"C:\\Q\\Quellmor_Debug.txt\">Quellmor_Debug.txt</a> will be send. They do not contain "
              "any personal information.");
    EXPECT_EQ(FilesLine(two, false),
              "The files C:\\Q\\Quellmor_Debug.dmp and C:\\Q\\Quellmor_Debug.txt will be "
              "send. They do not contain any personal information.");
    std::vector<std::string> one = {"C:\\Q\\Quellmor_Debug.txt"};
    EXPECT_EQ(FilesLine(one, true), "The file <a href=\"C:\\Q\\Quellmor_Debug.txt\">Quellmor_Debug.txt</a> "
                                    "will be send. It does not contain any personal information.");
    EXPECT_EQ(
        FilesLine(one, false),
        "The file C:\\Q\\Quellmor_Debug.txt will be send. It does not contain any personal information.");
    EXPECT_EQ(FilesLine({}, false), "");
}

TEST(ReportForm, HostAndPort)
{
    std::string host;
    uint16_t port = 0;
    SplitHostPort("www.velantix.com", &host, &port);
    EXPECT_EQ(host, "www.velantix.com");
    EXPECT_EQ(port, 80);
    SplitHostPort("127.0.0.1:8123", &host, &port);
    EXPECT_EQ(host, "127.0.0.1");
    EXPECT_EQ(port, 8123);
    for (const char* odd : {"h:", "h:0", "h:65536", "h:12a", "h:1234567"}) {
        SplitHostPort(odd, &host, &port);
        EXPECT_EQ(host, odd);
        EXPECT_EQ(port, 80) << odd;
    }
}

TEST(ReportForm, Sha256KnownAnswers)
{
    EXPECT_EQ(Sha256Hex("", 0), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc", 3), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    const char* two = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    EXPECT_EQ(Sha256Hex(two, 56), "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    // Lengths at the padding edges: 55 fits one last block, 64 needs a block of its own.
    EXPECT_EQ(Sha256Hex(std::string(55, 'x').data(), 55),
              "d5e285683cd4efc02d021a5c62014694958901005d6f71e89e0989fac77e4072");
    EXPECT_EQ(Sha256Hex(std::string(64, 'x').data(), 64),
              "7ce100971f64e7001e8fe5a51973ecdfe1ced42befe7ee8d5fd6219506b5393c");
    std::string million(1000000, 'a');
    EXPECT_EQ(Sha256Hex(million.data(), million.size()),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(ReportForm, MachineIdentifierIsAStableDigestWithoutTheSerial)
{
    std::string id = HashMachineFacts("1234ABCD|GenuineIntel");
    EXPECT_EQ(id, "570462DB935D1A6C");
    EXPECT_EQ(HashMachineFacts("1234ABCD|GenuineIntel"), id);
    EXPECT_NE(HashMachineFacts("1234ABCE|GenuineIntel"), id);
    EXPECT_EQ(id.find("1234"), std::string::npos);
}
