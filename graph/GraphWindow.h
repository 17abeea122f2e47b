// The graph window: a resizable top-level window that holds the program's graph control,
// remembers where it was (except in portable mode) and stays open until closed.
#pragma once
#include <windows.h>
#include "app/framework/Dialog.h"
#include "graph/Graph.h"
#include "graph/GraphModel.h"

class C_GraphWindow : public C_Dialog {
public:
    // Where the placement is kept: a registry key, or none (portable mode: neither read nor
    // written). The title goes before " Graph" in the caption.
    void Setup(HINSTANCE instance, const char* title, UINT iconId, HKEY root, const char* keyPath);
    // Brings the window to the front when it is open, else creates it. GUI thread.
    int Open();
    // Closes the window when it is open, storing its placement; any thread.
    void Dismiss();
    // The control the BlockAccess worker feeds.
    C_GRAPH& Graph() { return m_graph; }

    INT_PTR OnInitDialog() override;
    INT_PTR OnEnd(INT_PTR result) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    C_GRAPH m_graph;
    bool m_bRegistered = false;
    std::string m_strTitle;
    UINT m_nIconId = 0;
    HKEY m_hRoot = nullptr;
    std::string m_strKeyPath; // empty: portable
    // The anchor: control and client size when the window was set up.
    GraphRect m_anchor;
    int m_nSetupClientWidth = 0;
    int m_nSetupClientHeight = 0;
};
