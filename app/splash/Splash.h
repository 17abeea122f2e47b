// The start-up picture: a topmost layered popup that fades in, stays a few seconds and
// goes at the first key press or click.
#pragma once
#include <windows.h>
#include <atomic>
#include <memory>
#include "app/framework/Window.h"
#include "core/Thread.h"

class C_LayeredWindow;

class C_Splash : public C_Window {
public:
    C_Splash();
    ~C_Splash() override;
    // 1 when the splash window was created and shown.
    int Start(HINSTANCE instance, int imageId, UINT displayMs, uint32_t options);
    // Removes the splash (fading out when fading is on); harmless when none is shown.
    void Finish();

    LRESULT OnCreate(CREATESTRUCTA* create) override;
    LRESULT OnDestroy() override;
    LRESULT OnClose() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static uint32_t FadeIn(void* self, uintptr_t);
    void SetOpacity(uint8_t alpha);

    std::unique_ptr<C_LayeredWindow> m_layered;
    C_Thread m_fader;
    int m_nImageId = 0;
    UINT m_displayMs = 4000;
    bool m_bFading = false;
    std::atomic<int> m_bClosing{0};
};
