// Window messages of the scan wizard and the results browser (numbers from
// WM_USER, which is 0x400; the same numbers mean other things to other windows).
#pragma once

namespace scan {

constexpr unsigned kWmUser = 0x400;
// To the scan wizard, from the engine.
constexpr unsigned kMsgScanProgress = kWmUser + 2;  // percent, percent
constexpr unsigned kMsgScanFinished = kWmUser + 4;  // 0, result flag
constexpr unsigned kMsgScanStatus = kWmUser + 16;   // value, status code
constexpr unsigned kMsgScanRootBegins = kWmUser + 17;
constexpr unsigned kMsgScanRootEnds = kWmUser + 18;
// To the results browser, from the report loader.
constexpr unsigned kMsgLoadRows = kWmUser + 9;  // sent: 0, 1 batch / 0, 0 section done
constexpr unsigned kMsgLoadStart = kWmUser + 11;
constexpr unsigned kMsgLoadProgress = kWmUser + 19;  // percent, percent; -2, -2 at the end

}  // namespace scan
