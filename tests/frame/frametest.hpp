// Numbers shared by the frame tests and their resources.
#pragma once

#define kExtendedMenu 100
#define kClassicMenu 101
#define kFilePopup 200
#define kOpen 201
#define kRecentPopup 202
#define kFirst 203
#define kLong 204
#define kExit 205
#define kHelp 206

// Frames. No resource carries this identifier.
#define kFrameNoResources 1700
// A menu bar (with sub-menus), an accelerator table, an icon and a title string.
#define kFrameFull 1710
#define kFullFilePopup 1711
#define kFullOpen 1712
#define kFullRecentPopup 1713
#define kFullFirst 1714
#define kFullHelp 1715
#define kFullAccelerated 1716
// A dialog template: a default push button, a push button, an edit, a combo box, a check box.
#define kFrameDialog 1720
#define kDialogEdit 1721
#define kDialogCombo 1722
#define kDialogCheck 1723
#define kDialogApply 1724
// A dialog template with a control of a class that no one registers: it cannot be created.
#define kBrokenDialog 1725
// A menu for pop-ups: two items that open sub-menus and a plain item.
#define kPopupMenu 1730
#define kPopupEdit 1731
#define kPopupCut 1732
#define kPopupView 1733
#define kPopupZoom 1734
#define kPopupClose 1735
// A template number that no resource has.
#define kMissingDialog 1799

// Information area strings: item kInfoItem + kInfoOffset has one, kInfoBareItem has none.
#define kInfoMenu 1800
#define kInfoItem 5
#define kInfoOffset 1000
#define kInfoBareItem 1801
#define kInfoNamedItem 1802
// A frame help table: frame 1810 with panel 900, control 1811 with panel 901.
#define kFrameHelpTable 1820
#define kFrameHelpSubtable 1821
#define kHelpFrame 1810
#define kHelpControl 1811
