// The library's private window messages and event identifiers: fixed numbers between 0xFFB0 and
// 0xFFFD on which every part of the library (and code that talks to its windows) must agree.
#pragma once

namespace IPrivateMessage {

// Drag and drop. Points travel packed, x in the low and y in the high 16 bits of wParam, and
// are read back sign-extended, so that screens left of or above the primary one work.
// Asks the source window to prepare an item for rendering (sent by applications only).
constexpr unsigned int dragPrepare = 0xFFB0;
// Tells a target window that a drag it took part in has ended (sent by applications only).
constexpr unsigned int dragTargetEnd = 0xFFB1;
// Sent by the drag's data object to the source window when a target asks for the data of an
// ordinary format: wParam = the FORMATETC asked for, lParam = the STGMEDIUM to fill.
constexpr unsigned int dragRender = 0xFFB2;
// Sent to an item's source window once the target has dropped it: wParam = the item's id in
// its source operation, lParam = the operation in the high 16 bits and the outcome in the low
// 8 (1 the item took the drop, 2 it refused).
constexpr unsigned int dragSourceEnd = 0xFFB3;
// Ask the source window to discard or print items (sent by applications only); the answer is
// the reply code.
constexpr unsigned int dragDiscard = 0xFFB4;
constexpr unsigned int dragPrint = 0xFFB5;
// Sent by the drop target on drag enter and on every drag over: wParam = the pointer in screen
// coordinates, lParam = the IDataObject of the drag. The low 16 bits of the answer: 0 no drop
// here now, 1 drop, 2 no drop for this operation, 3 never a drop here.
constexpr unsigned int dragOver = 0xFFB6;
// Asks the target window for help on a drag (sent by applications only).
constexpr unsigned int dragHelp = 0xFFB7;
// Sent by the drop target when the pointer leaves the window, and for a cancelled drop menu:
// wParam and lParam 0.
constexpr unsigned int dragLeave = 0xFFB8;
// Sent by the drop target on a drop: parameters as for dragOver. The answer is the operation
// the target carried out (copy 1, move 2, link 4), 0 when it did nothing; the drop target
// reports that to the source.
constexpr unsigned int dragDrop = 0xFFB9;

// Sent or posted to the frame window that contains a window (IWindow::sendEvent and postEvent
// with IWindow::frameEvent), with the sender's two parameters; the frame handler consumes it.
constexpr unsigned int frameEvent = 0xFFC7;
// A list box's own selection, in the high word of wParam of the WM_COMMAND it sends its owner.
constexpr unsigned int listBoxSelect = 0xFFC8;
// Asks a frame for its help window: the window object, or 0.
constexpr unsigned int helpWindowQuery = 0xFFC9;
// Asks a window for its font record, so that a font built for the window shares it; 0 when
// the window keeps no font of its own.
constexpr unsigned int fontQuery = 0xFFCA;
// Sent by the menu handler to the window when the menu loop has ended, once per pop-up that
// opened: wParam = the identifier of the item that opened it, lParam = the pop-up.
constexpr unsigned int menuEnded = 0xFFCD;
// Posted by the dispatcher: the release after a double click.
constexpr unsigned int doubleClickRelease = 0xFFCB;
// Sent or posted in place of WM_COMMAND and WM_SYSCOMMAND, so that no native code mistakes
// them for its own; the window procedure turns them back before anything else sees them.
constexpr unsigned int command = 0xFFCE;
constexpr unsigned int systemCommand = 0xFFCF;
// A control's WM_COMMAND as handlers see it (default processing sees WM_COMMAND again).
constexpr unsigned int controlNotification = 0xFFD0;
// Asks a window whether its text has the mnemonic in the low word of wParam: 1 or 0.
constexpr unsigned int mnemonicQuery = 0xFFD1;
// Frame layout: private to the frame handler.
constexpr unsigned int frameFirst = 0xFFD2;
constexpr unsigned int frameFormat = 0xFFD3;
constexpr unsigned int frameLayout = 0xFFD4;
constexpr unsigned int frameLast = 0xFFD5;
// Asks about a window's ancestors: wParam low word = query code, lParam = argument.
constexpr unsigned int windowQuery = 0xFFD6;
// Posted in place of a private message whose parameters were parked: wParam = the slot.
constexpr unsigned int parkedMessage = 0xFFD7;
// Posted by the dispatcher: the clicks derived from a press and a release on one window.
constexpr unsigned int leftClick = 0xFFD8;
constexpr unsigned int rightClick = 0xFFD9;
constexpr unsigned int middleClick = 0xFFDA;
// Sent by a tool bar to itself to start moving it with the mouse: the low four bits of wParam
// say which moves are allowed (0xF: any).
constexpr unsigned int toolBarMove = 0xFFDB;
// Sent to a window when the mouse has moved far enough from a press to start a drag: wParam =
// the press point in the window's application coordinates, x in the low and y in the high 16
// bits.
constexpr unsigned int dragStart = 0xFFDE;
// Sent to a scroll bar by the library when it moves the scroll box itself: wParam = the new
// position.
constexpr unsigned int scrollBoxMove = 0xFFDC;
// Thread message: ends the message loops whose level is not above lParam.
constexpr unsigned int stopLoop = 0xFFE0;
// Posted by a canvas or frame to itself when it gets the focus: wParam = its handle. The focus
// goes on to its first tab stop once the activation that gave the focus has settled.
constexpr unsigned int focusNotice = 0xFFE2;
// Posted by a button that does not take the focus on clicks to itself, after the click, to
// give the focus back. The number is shared with focusNotice: each goes only to its own kind
// of window (buttons, or canvases and frames), whose handlers alone act on it.
constexpr unsigned int restoreFocus = 0xFFE2;
// Sent to a canvas whose layout is due, before it paints or when it is shown.
constexpr unsigned int layoutRequest = 0xFFE3;
// Sent to each other button of an auto-latch button's group when that button latches.
constexpr unsigned int releaseLatch = 0xFFE6;
// Sent by a tool bar to its buttons: show the bitmap, the text, or the bitmap above the text.
constexpr unsigned int bitmapView = 0xFFE7;
constexpr unsigned int textView = 0xFFE8;
constexpr unsigned int bitmapAndTextView = 0xFFE9;
// Ask a tool bar button whether its view shows a bitmap, a text: 1 or 0.
constexpr unsigned int showsBitmapQuery = 0xFFEA;
constexpr unsigned int showsTextQuery = 0xFFEB;
// Asks a child window whether it registers itself for fly-over help: non-zero when it does.
constexpr unsigned int flyOverQuery = 0xFFEC;
// Tool bar button requests, by the code in wParam (toolBarButton... below).
constexpr unsigned int toolBarButtonRequest = 0xFFED;
// Sent by a custom button's draw handler to the button: wParam 1 while it is drawn pressed.
constexpr unsigned int buttonPressed = 0xFFEE;
// Asks the window that shows a long fly-over text whether it is in a state of its own (an
// information area answers its mode, 0 while its default text shows).
constexpr unsigned int infoAreaQuery = 0xFFEF;
// Sent by the dispatcher when a window's size may have changed: lParam points to four 32-bit
// values {new width, new height, last width, last height}.
constexpr unsigned int sizeChanged = 0xFFF0;
// A notification carried as an event (the window's font change, with fontChangedCode in
// lParam, and control notifications).
constexpr unsigned int notification = 0xFFF1;
// Posted to the object window to close it.
constexpr unsigned int closeObjectWindow = 0xFFF2;
// Sent by dialog code to the dialog's notify handlers.
constexpr unsigned int dialogNotify = 0xFFF4;
// Combo-box codes in the high word of wParam of a WM_COMMAND: enter pressed, text changed.
constexpr unsigned int comboEnter = 0xFFF8;
constexpr unsigned int comboEditChange = 0xFFF9;
// Posted by a callback of the frame handler to the frame's own dispatch.
constexpr unsigned int frameCallback = 0xFFFA;
// Asks a window whether its owner decides its pointer (the owner mouse handler answers 1). The
// composite controls that use that handler answer 1, so fly-over help also reads the answer as
// "this window is a composite whose native children share its identifier".
constexpr unsigned int ownerMouseQuery = 0xFFFC;
// Posted by the notebook's tab-control handler after a WM_SIZE, with its parameters.
constexpr unsigned int tabControlResize = 0xFFFD;

// Codes of the window query: the answering window's handle; the frame that contains a window
// (answered by frames); whether lParam is the window or one of its ancestors.
constexpr unsigned int queryHandle = 1;
constexpr unsigned int queryFrame = 3;
constexpr unsigned int queryIsWindow = 5;

// Codes of the tool bar button request: enable drag and drop; answer 1 (a tool bar button).
constexpr unsigned int toolBarButtonEnableDrag = 4;
constexpr unsigned int toolBarButtonIdentify = 7;

// lParam of the notification event that reports a font change.
constexpr unsigned int fontChangedCode = 0x7F0C;
// lParam of the notification a container posts itself once its title has changed.
constexpr unsigned int containerTitleCode = 0x7F0A;
// lParam of the notification posted to a message-driven container when a text it may be reading
// has been replaced: once it arrives, the container reads the text no more.
constexpr unsigned int containerTextsCode = 0x7F0D;

} // namespace IPrivateMessage
