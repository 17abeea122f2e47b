#include <gtest/gtest.h>
#include <map>
#include "app/framework/TemplateFont.h"

namespace {

// Builds templates byte by byte, as the resource compiler lays them out.
struct Builder {
    std::vector<uint8_t> b;
    void W(uint16_t v)
    {
        b.push_back((uint8_t)v);
        b.push_back((uint8_t)(v >> 8));
    }
    void D(uint32_t v)
    {
        W((uint16_t)v);
        W((uint16_t)(v >> 16));
    }
    void S(const std::u16string& s)
    {
        for (char16_t c : s)
            W(c);
        W(0);
    }
    void Align()
    {
        while (b.size() % 4)
            b.push_back(0);
    }
};

// A DIALOG (or DIALOGEX) with a title, the given font and one button item.
std::vector<uint8_t> MakeTemplate(bool extended, uint32_t style, const std::u16string& face, uint16_t points)
{
    Builder t;
    if (extended) {
        t.W(1);
        t.W(0xFFFF);
        t.D(0); // help id
        t.D(0); // extended style
        t.D(style);
    } else {
        t.D(style);
        t.D(0);
    }
    t.W(1); // one item
    t.W(0), t.W(0), t.W(100), t.W(50);
    t.W(0); // no menu
    t.W(0); // default class
    t.S(u"Title");
    if (style & 0x40) {
        t.W(points);
        if (extended) {
            t.W(400);
            t.b.push_back(0);
            t.b.push_back(1);
        }
        t.S(face);
    }
    t.Align();
    // The item: a recognisable tail that must survive the copy unchanged.
    size_t itemStart = t.b.size();
    if (extended) {
        t.D(0), t.D(0), t.D(0x50010000);
        t.W(5), t.W(5), t.W(40), t.W(14);
        t.D(1);
    } else {
        t.D(0x50010000), t.D(0);
        t.W(5), t.W(5), t.W(40), t.W(14);
        t.W(1);
    }
    t.W(0xFFFF), t.W(0x0080);
    t.S(u"OK");
    t.W(0);
    (void)itemStart;
    return t.b;
}

std::vector<uint8_t> Items(const std::vector<uint8_t>& t)
{
    TemplateFont f;
    EXPECT_TRUE(ReadTemplateFont(t.data(), t.size(), &f));
    size_t start = (f.faceEnd + 3) & ~(size_t)3;
    return std::vector<uint8_t>(t.begin() + (long)start, t.end());
}

TEST(TemplateFont, ReadsBothKinds)
{
    for (bool ex : {false, true}) {
        auto t = MakeTemplate(ex, 0x80C800C0, u"MS Shell Dlg", 8);
        TemplateFont f;
        ASSERT_TRUE(ReadTemplateFont(t.data(), t.size(), &f));
        EXPECT_EQ(f.extended, ex);
        EXPECT_EQ(f.pointSize, 8);
        EXPECT_EQ(f.face, u"MS Shell Dlg");
    }
}

TEST(TemplateFont, NoFontOrTruncatedIsRefused)
{
    auto t = MakeTemplate(false, 0x80C80080, u"", 0);
    TemplateFont f;
    EXPECT_FALSE(ReadTemplateFont(t.data(), t.size(), &f));
    auto full = MakeTemplate(true, 0x80C800C0, u"MS Sans Serif", 8);
    for (size_t cut = 0; cut < 50; ++cut)
        EXPECT_FALSE(ReadTemplateFont(full.data(), cut, &f)) << cut;
    std::vector<uint8_t> out;
    EXPECT_FALSE(RewriteTemplateFont(t.data(), t.size(), 9, u"Segoe UI", out));
}

TEST(TemplateFont, RewriteKeepsTheItemsAndAlignment)
{
    for (bool ex : {false, true}) {
        for (const std::u16string& face :
             {std::u16string(u"Segoe UI"), std::u16string(u"Tahoma"), std::u16string(u"A")}) {
            auto t = MakeTemplate(ex, 0x80C800C0, u"MS Sans Serif", 8);
            std::vector<uint8_t> out;
            ASSERT_TRUE(RewriteTemplateFont(t.data(), t.size(), 9, face, out));
            TemplateFont f;
            ASSERT_TRUE(ReadTemplateFont(out.data(), out.size(), &f));
            EXPECT_EQ(f.face, face);
            EXPECT_EQ(f.pointSize, 9);
            EXPECT_EQ(Items(out), Items(t));
            if (ex) { // weight, italic and character set stay
                EXPECT_EQ(out[f.pointOffset + 2], 400 & 0xFF);
                EXPECT_EQ(out[f.pointOffset + 5], 1);
            }
        }
    }
}

std::map<std::u16string, bool> g_installed;
bool Installed(const std::u16string& face, void*) { return g_installed.count(face) != 0; }

TEST(ChooseFont, RulesOfSubstitution)
{
    SystemFontFacts facts;
    facts.messageFace = u"Segoe UI";
    facts.messageHeight = -12;
    facts.logPixelsY = 96;
    facts.faceExists = Installed;
    g_installed = {{u"Segoe UI", true}, {u"MS Shell Dlg 2", true}};
    std::u16string face;
    uint16_t points = 0;

    EXPECT_FALSE(ChooseTemplateFont(u"Arial", facts, false, &face, &points));
    ASSERT_TRUE(ChooseTemplateFont(u"MS Shell Dlg", facts, false, &face, &points));
    EXPECT_EQ(face, u"Segoe UI");
    EXPECT_EQ(points, 9);
    ASSERT_TRUE(ChooseTemplateFont(u"System", facts, true, &face, &points));
    EXPECT_EQ(face, u"MS Shell Dlg 2");
    EXPECT_EQ(points, 8);

    facts.logPixelsY = 120;
    facts.messageHeight = -15;
    ASSERT_TRUE(ChooseTemplateFont(u"MS Sans Serif", facts, false, &face, &points));
    EXPECT_EQ(points, 9);

    g_installed = {};
    ASSERT_TRUE(ChooseTemplateFont(u"MS Sans Serif", facts, false, &face, &points));
    EXPECT_EQ(face, u"MS Shell Dlg");
    EXPECT_EQ(points, 8);

    facts.messageFace = u"Arial";
    EXPECT_FALSE(ChooseTemplateFont(u"MS Sans Serif", facts, false, &face, &points));
}

} // namespace
