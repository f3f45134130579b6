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
