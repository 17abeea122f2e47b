#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "app/info/HtmlText.h"
#include "tests/common/WholeFile.h"

namespace {

std::string ReadPage(const char* name)
{
#ifdef _WIN32
    const std::string root = std::string("Z:") + QM_SOURCE_DIR;
#else
    const std::string root = QM_SOURCE_DIR;
#endif
    return ReadWholeFile(root + "/app/res/" + name);
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The lines from the one equal to first up to (not including) the next blank line.
std::vector<std::string> Section(const std::vector<std::string>& lines, const std::string& first)
{
    std::vector<std::string> section;
    bool in = false;
    for (const std::string& line : lines) {
        if (line == first)
            in = true;
        if (!in)
            continue;
        if (line.empty())
            break;
        section.push_back(line);
    }
    return section;
}

std::string Convert(const std::string& html) { return HtmlToText(html); }

} // namespace

TEST(HtmlToText, InformationPageReadsLikeThePage)
{
    const std::string html = ReadPage("info.html");
    ASSERT_FALSE(html.empty());
    HtmlTextOptions options;
    options.replaceId = "title";
    options.replacement = "Quellmor [2.93]";
    const std::vector<std::string> lines = Lines(HtmlToText(html, options));
    ASSERT_GE(lines.size(), 3u);
    // Title from the caller, the vendor link; no script, style or head text anywhere.
    EXPECT_EQ("Quellmor [2.93]", lines[0]);
    EXPECT_EQ("http://www.velantix.com/quellmor/", lines[1]);
    for (const std::string& line : lines) {
        EXPECT_EQ(std::string::npos, line.find("function")) << line;
        EXPECT_EQ(std::string::npos, line.find("font-family")) << line;
    }
    const std::vector<std::string> notes = {
        "BlockAccess Notes:",
        "1.\tFor best/correct BlockAccess test results, use the entry with \\\\.\\<drive letter>: "
        "without any extension like 'track...'.",
        "2.\tFurther, ensure that the read duration [second value of transfer speed] is larger "
        "than 1 second. If it's too short, increase 'calc speed every n'th access'."};
    EXPECT_EQ(notes, Section(lines, "BlockAccess Notes:"));
    const std::vector<std::string> keys = {"FileAccess Function Keys:", "F2\tstart write test",
                                           "F9\tstart read test", "F5\trefresh filebrowser"};
    EXPECT_EQ(keys, Section(lines, "FileAccess Function Keys:"));
    const std::vector<std::string> switches = {"FileAccess Command line options:",
                                               "-a\tstart with BlockAccess",
                                               "-n\tstart with FileAccess",
                                               "-c\tuse buffering",
                                               "-b\tdon't use buffering",
                                               "-d\tsave read data",
                                               "-e\tdon't save read date",
                                               "-p\tuse preread",
                                               "-f\tdon't use preread",
                                               "-g\tuse smooth scrollbar",
                                               "-h\tdon't use smooth scrollbar",
                                               "-m\tsearch for biggest file",
                                               "-r\tstart file read test",
                                               "-w\tstart file write test",
                                               "-i size_in_byte\tspecify file size",
                                               "-j size_in_byte\tspecify block size",
                                               "-k size_in_byte\tspecify pre read size",
                                               "-l test_file\tspecify test file name",
                                               "-o\tselect linear block test",
                                               "-q\tselect random block test",
                                               "-s\tselect seek block test",
                                               "-t\tsearch for fastest file",
                                               "-u\tdon't search for fastest file",
                                               "-v\tdon't search for biggest file",
                                               "-x\tsupport floppy drives"};
    EXPECT_EQ(switches, Section(lines, "FileAccess Command line options:"));
    EXPECT_EQ("Example: -n -l e:\\ -m -r will search for biggest file on drive e: and test the "
              "speed on this file",
              lines.back());
}

TEST(HtmlToText, BlockAccessPageKeepsTheLoopAsWritten)
{
    const std::vector<std::string> lines = Lines(Convert(ReadPage("block_access.html")));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ("block access information", lines[0]);
    EXPECT_EQ("", lines[1]);
    EXPECT_EQ("example: blocks per access=4, skipped blocks=1, calc speed=2", lines[2]);
    const std::vector<std::string> loop = {"current_block = start_block",
                                           "loop = 0",
                                           "while (current_block < end_block)",
                                           "{",
                                           "    DeviceAccess(current_block, blocks_per_access)",
                                           "    current_block += blocks_per_access",
                                           "    current_block += skipped_blocks",
                                           "    if (++loop == calc_speed_every_nth_access)",
                                           "    {",
                                           "        loop = 0",
                                           "        CalcSpeed()",
                                           "    }",
                                           "}"};
    EXPECT_EQ(loop, Section(lines, "current_block = start_block"));
}

TEST(HtmlToText, WhitespaceBlocksAndCells)
{
    EXPECT_EQ("a b c\n", Convert("  a \n\t b   <b>c</b>  "));
    EXPECT_EQ("one\ntwo\n\nthree\n", Convert("one<br>two<p>three</p>"));
    EXPECT_EQ("Head\nx\ty\nz\n", Convert("<h2>Head</h2><table><tr><th> x </th><td>y</td></tr>"
                                         "<tr><td>z</td></tr></table>"));
    EXPECT_EQ("x\n\ny\n", Convert("<div>x</div><br><br><p></p><p>y</p>"));
    EXPECT_EQ("", Convert("<html><head><title>T</title></head><body> </body></html>"));
    EXPECT_EQ("A\nB\n", Convert("<DIV>A</DIV><Div>B</div>"));
}

TEST(HtmlToText, SkipsHiddenPartsAndDecodesEntities)
{
    EXPECT_EQ("visible\n", Convert("<script>if (a < b) document.write('<p>x</p>');</script>"
                                   "<style>p { color: red }</style><!-- <p>gone</p> -->visible"));
    EXPECT_EQ("<a> & \"q\" 'x' A B\n", Convert("&lt;a&gt; &amp; &quot;q&quot; &apos;x&apos; &#65; &#x42;"));
    EXPECT_EQ("& &unknown; &#xZZ; a&b\n", Convert("& &unknown; &#xZZ; a&b"));
    EXPECT_EQ("1 < 2\n", Convert("1 < 2"));
    EXPECT_EQ("x\n", Convert("<img src=\"a>b\" alt='q'>x"));
    EXPECT_EQ("end\n", Convert("end<b"));
}

TEST(HtmlToText, ReplacesTheNamedElementOnly)
{
    HtmlTextOptions options;
    options.replaceId = "title";
    options.replacement = "New";
    EXPECT_EQ("before\nNew\nafter\n",
              HtmlToText("before<div id=\"title\">Old <div>nested</div> text</div>after", options));
    EXPECT_EQ("New\n\nkept\n", HtmlToText("<p id=title>x</p><p id=\"other\">kept</p>", options));
    EXPECT_EQ("no id here\n", HtmlToText("<p>no id here</p>", options));
}

TEST(HtmlToText, PreformattedTextIsKept)
{
    EXPECT_EQ("text\n\n  a  b\n\tc\n\nafter\n", Convert("text<pre>\r\n  a  b\r\n\tc\r\n</pre>after"));
}

TEST(ToWindowsLineEnds, OnlyBareLineFeedsChange)
{
    EXPECT_EQ("a\r\nb\r\n", ToWindowsLineEnds("a\nb\n"));
    EXPECT_EQ("a\r\nb", ToWindowsLineEnds("a\r\nb"));
    EXPECT_EQ("\r\n", ToWindowsLineEnds("\n"));
    EXPECT_EQ("", ToWindowsLineEnds(""));
}
