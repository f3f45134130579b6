// Numbers shared by the demo and its resources.
#pragma once

#define kAboutFrame 3000
#define kAboutText 3001
#define kContextMenu 3100
#define kContextAbout 3101
// The main frame: its menu bar and the strings its information area shows for the items.
#define kMainFrame 3200
#define kFileMenu 1100
#define kExit 1101
#define kViewMenu 1200
#define kStatusBar 1201
#define kGrid 1202
#define kHelpMenu 1300
#define kHelpIndex 1301
#define kAbout 1302
#define kEditMenu 1400
#define kCopy 1401
// The menu bar's File > Exit.
#define kContextExit kExit
