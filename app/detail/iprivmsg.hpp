// The private window messages and event identifiers of the window core. Fixed numbers: every
// part of the library must agree on them.
#pragma once

namespace IPrivateMessage {

// Sent or posted in place of WM_COMMAND and WM_SYSCOMMAND, so that no native code mistakes
// them for its own; the window procedure turns them back before anything else sees them.
constexpr unsigned int command = 0xFFCE;
constexpr unsigned int systemCommand = 0xFFCF;
// A control's WM_COMMAND as handlers see it (default processing sees WM_COMMAND again).
constexpr unsigned int controlNotification = 0xFFD0;
// Asks a window whether its text has the mnemonic in the low word of wParam: 1 or 0.
constexpr unsigned int mnemonicQuery = 0xFFD1;
// Asks about a window's ancestors: wParam low word = query code, lParam = argument.
constexpr unsigned int windowQuery = 0xFFD6;
// Posted by the dispatcher: the release after a double click, and the clicks derived from a
// press and a release on one window.
constexpr unsigned int doubleClickRelease = 0xFFCB;
constexpr unsigned int leftClick = 0xFFD8;
constexpr unsigned int rightClick = 0xFFD9;
constexpr unsigned int middleClick = 0xFFDA;
// Thread message: ends the message loops whose level is not above lParam.
constexpr unsigned int stopLoop = 0xFFE0;
// Sent by the dispatcher when a window's size may have changed: lParam points to four 32-bit
// values {new width, new height, last width, last height}.
constexpr unsigned int sizeChanged = 0xFFF0;

// Codes of the window query: the answering window's handle; whether lParam is the window or
// one of its ancestors.
constexpr unsigned int queryHandle = 1;
constexpr unsigned int queryIsWindow = 5;

} // namespace IPrivateMessage
