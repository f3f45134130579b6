// Numbers shared by the demo and its resources.
#pragma once

#define kAboutFrame 3000
#define kAboutText 3001
#define kContextMenu 3100
#define kContextAbout 3101
// The menu bar's File > Exit.
#define kContextExit 1101
