// The application object as the entry point runs it.
#include "win/Afx.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {
class ProbeApp : public CWinApp {
  public:
    explicit ProbeApp(BOOL loop, bool fail = false) : m_bLoop(loop), m_bFail(fail) {}
    int inits = 0;
    int exits = 0;
    CWnd window;

    BOOL InitInstance() override {
        ++inits;
        if (m_bFail)
            throw std::runtime_error("start-up failed");
        m_pMainWnd = &window;
        if (m_bLoop)
            ::PostQuitMessage(0);
        return m_bLoop;
    }
    int ExitInstance() override {
        ++exits;
        return 7;
    }

  private:
    BOOL m_bLoop;
    bool m_bFail;
};
} // namespace

TEST(AppTest, EntryPointRunsTheOneApplicationObject) {
    ProbeApp app(FALSE);
    ASSERT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(app.m_strAppName, L"win_layer"); // the program's file name
    EXPECT_EQ(AfxWinRun(::GetModuleHandleW(nullptr)), 7);
    EXPECT_EQ(app.inits, 1);
    EXPECT_EQ(app.exits, 1);
    EXPECT_EQ(AfxGetMainWnd(), &app.window);
    EXPECT_EQ(app.GetMainWnd(), &app.window);
    EXPECT_TRUE(app.Enable3dControls());
    EXPECT_TRUE(AfxEnableControlContainer());
}

TEST(AppTest, LoopRunsOnlyWhenAskedAndFailuresEndTheRun) {
    {
        ProbeApp app(TRUE);
        EXPECT_EQ(AfxWinRun(::GetModuleHandleW(nullptr)), 7); // the loop ends at WM_QUIT
        EXPECT_EQ(app.exits, 1);
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
    EXPECT_EQ(AfxWinRun(::GetModuleHandleW(nullptr)), 1); // no application object
    ProbeApp failing(FALSE, true);
    EXPECT_EQ(AfxWinRun(::GetModuleHandleW(nullptr)), 1);
    EXPECT_EQ(failing.exits, 0);
}
