#include <gtest/gtest.h>

#include "app/info/HtmlDialogText.h"

TEST(HtmlAddress, NumberNameAndFullAddress)
{
    const std::string program = "C:\\Program Files\\Quellmor\\Quellmor.exe";
    EXPECT_EQ("res://C:\\Program Files\\Quellmor\\Quellmor.exe/#130", HtmlAddressForNumber(program, 130));
    EXPECT_EQ("res://C:\\Program Files\\Quellmor\\Quellmor.exe/#65535", HtmlAddressForNumber(program, 65535));
    EXPECT_EQ("res://C:\\Program Files\\Quellmor\\Quellmor.exe/IDR_INFO",
              HtmlAddressForName(program, "IDR_INFO"));
    EXPECT_EQ("http://www.velantix.com/quellmor/",
              HtmlAddressForName(program, "http://www.velantix.com/quellmor/"));
    EXPECT_EQ("res://other.dll/PAGE", HtmlAddressForName(program, "res://other.dll/PAGE"));
}

TEST(HtmlTitle, OneElementIsTheTitle)
{
    EXPECT_EQ("Quellmor [2.93]", TitleFromArgument("Quellmor [2.93]"));
    EXPECT_EQ("Quellmor", TitleFromArgument("Quellmor [2.93];extra"));
    EXPECT_EQ("Quellmor", TitleFromArgument(";"));
    EXPECT_EQ("Quellmor", TitleFromArgument(nullptr));
    EXPECT_EQ("Other", TitleFromArgument("Other"));
}

TEST(HtmlDialogFeatures, PixelSizes)
{
    const std::string info = "help:no;resizable:yes;dialogWidth:740px";
    EXPECT_EQ(740, HtmlDialogFeaturePixels(info, "dialogWidth"));
    EXPECT_EQ(0, HtmlDialogFeaturePixels(info, "dialogHeight"));
    const std::string help = "help:no;resizable:yes;dialogWidth:700px;dialogHeight:640px";
    EXPECT_EQ(700, HtmlDialogFeaturePixels(help, "dialogWidth"));
    EXPECT_EQ(640, HtmlDialogFeaturePixels(help, "dialogheight"));
    EXPECT_EQ(500, HtmlDialogFeaturePixels(" dialogWidth = 500 ; x:1", "dialogWidth"));
    EXPECT_EQ(0, HtmlDialogFeaturePixels("dialogWidth:40em", "dialogWidth"));
    EXPECT_EQ(0, HtmlDialogFeaturePixels("dialogWidth:-5px", "dialogWidth"));
    EXPECT_EQ(0, HtmlDialogFeaturePixels("dialogWidth:px", "dialogWidth"));
    EXPECT_EQ(0, HtmlDialogFeaturePixels("", "dialogWidth"));
    EXPECT_EQ(0, HtmlDialogFeaturePixels("mydialogWidth:300px", "dialogWidth"));
}
