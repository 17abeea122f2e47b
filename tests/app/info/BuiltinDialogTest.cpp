// A program whose resource script lacks the text view's dialog still shows the page.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/info/InfoIds.h"
#include "app/info/ShowHtmlDialog.h"
#include "tests/app/info/DialogWatcher.h"

TEST(InfoDialogBuiltin, TextViewWithoutItsDialogResource)
{
    ASSERT_EQ(nullptr,
              FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_TEXT_PAGE), MAKEINTRESOURCEA(5) /* RT_DIALOG */));
    info_test::DialogWatcher watcher("Quellmor [1.0]", "info-builtin.bmp");
    EXPECT_EQ(0, ShowHtmlDialog(nullptr, nullptr, "IDR_INFO", "Quellmor [1.0]",
                                "help:no;resizable:yes;dialogWidth:740px", nullptr));
    watcher.Join();
    ASSERT_TRUE(watcher.found);
    EXPECT_EQ("Quellmor [1.0]", watcher.heading);
    EXPECT_TRUE(info_test::Contains(watcher.body, "\r\n-l test_file\tspecify test file name\r\n"))
        << watcher.body;
    EXPECT_EQ(740, watcher.width);
}
