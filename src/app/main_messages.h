// Messages the main window receives, numbered from WM_USER (1024).
#pragma once

namespace app {

constexpr int kWmUser = 0x400;
constexpr int kWmSample = kWmUser + 1;            // take one sample of all drives
constexpr int kWmFreeSpaceResults = kWmUser + 5;  // open the results browser on Search.txt
constexpr int kWmRemoteResult = kWmUser + 13;     // a network query's result (sent)
constexpr int kWmRefreshRow = kWmUser + 14;       // refresh one row (lParam catalogue index)
constexpr int kWmChangesResults = kWmUser + 15;   // results browser on Changes.txt
constexpr int kWmTipOfDay = kWmUser + 16;
constexpr int kWmDuplicatesResults = kWmUser + 17;
constexpr int kWmEndDrag = kWmUser + 18;
constexpr int kWmFreeSplash = kWmUser + 19;
constexpr int kWmRepaint = kWmUser + 20;
constexpr int kWmConditionFired = kWmUser + 21;  // wParam atom, lParam condition
constexpr int kWmWriteEventLog = kWmUser + 22;   // wParam atom
constexpr int kWmCheckConditions = kWmUser + 23;
constexpr int kWmCloseProgram = kWmUser + 24;
constexpr int kWmRepaintHandle = kWmUser + 25;  // to the move handle
constexpr int kWmColumnResized = kWmUser + 28;
constexpr int kWmHideOrShow = kWmUser + 29;
constexpr int kWmRecreateWindow = kWmUser + 30;
constexpr int kWmShowAndRaise = kWmUser + 31;
constexpr int kWmRestart = kWmUser + 32;
constexpr int kWmApplyStayOnTop = kWmUser + 33;

}  // namespace app
