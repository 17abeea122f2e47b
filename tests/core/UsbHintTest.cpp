#include <gtest/gtest.h>
#include "core/UsbHint.h"

TEST(UsbHint, ThresholdsPerClassAndDirection)
{
    struct Case {
        int cls;
        int dir;
        float rate;
        const char* hint;
    } cases[] = {
        {2, 1, 15728640.0f, ""},
        {2, 1, 15728639.0f, "This is pretty slow for an USB2 device."},
        {2, 0, 20971520.0f, ""},
        {2, 0, 20971500.0f, "This is pretty slow for an USB2 device."},
        {3, 1, 1e9f, "USB3 device on USB2 controller!"},
        {3, 0, 1e6f, "This is pretty slow for an USB2 device. USB3 device on USB2 controller!"},
        {4, 1, 1e9f, "USB3 device on USB3 controller in USB2 speed!"},
        {4, 1, 52428790.0f,
         "This is pretty slow for an USB3 device. USB3 device on USB3 controller in USB2 speed!"},
        {5, 1, 52428800.0f, ""},
        {5, 1, 52428000.0f, "This is pretty slow for an USB3 device."},
        {5, 0, 62914560.0f, ""},
        {5, 0, 62914000.0f, "This is pretty slow for an USB3 device."},
        {1, 1, 1.0f, ""},
        {0, 0, 1.0f, ""},
        {-1, 0, 1.0f, ""},
        {6, 0, 1.0f, ""},
    };
    for (const Case& c : cases) {
        std::string hint;
        AppendUsbHint(hint, c.cls, c.dir, c.rate);
        EXPECT_EQ(hint, c.hint) << "class " << c.cls << " direction " << c.dir << " rate " << c.rate;
    }
}

TEST(UsbHint, OnlyAppendsToWhatTheCallerHas)
{
    std::string hint = "earlier";
    AppendUsbHint(hint, 4, 1, 1e9f);
    EXPECT_EQ(hint, "earlier USB3 device on USB3 controller in USB2 speed!");
}
