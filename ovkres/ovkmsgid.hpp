// Message numbers of the library's errors, named by meaning. The texts lie in the message table
// of the resource library ovkres (ovkres.mc), one entry per number; the library throws
// IInvalidRequest and its relatives with these numbers and loads the texts by them.
//
// Plain constants without any Windows header, so portable code built for Linux can use them too.
// The build compares this list with ovkres.mc: add a number to both, with the same name.
#ifndef OVKMSGID_HPP
#define OVKMSGID_HPP

// Requests that the library refuses: wrong state, wrong kind of window, values out of range.
inline constexpr unsigned long OVK_MSG_OPERATION_NOT_SUPPORTED         = 2;
inline constexpr unsigned long OVK_MSG_BIDI_NOT_SUPPORTED              = 3;
inline constexpr unsigned long OVK_MSG_OUT_OF_MEMORY                   = 4;
inline constexpr unsigned long OVK_MSG_WINDOW_IS_DISPATCHING           = 5;
inline constexpr unsigned long OVK_MSG_NO_CHARACTER                    = 31;
inline constexpr unsigned long OVK_MSG_NO_SCAN_CODE                    = 32;
inline constexpr unsigned long OVK_MSG_NO_VIRTUAL_KEY                  = 33;
inline constexpr unsigned long OVK_MSG_NO_COLOR_VALUE                  = 35;
inline constexpr unsigned long OVK_MSG_NO_EVENT_VALUE                  = 36;
inline constexpr unsigned long OVK_MSG_INVALID_VALUE                   = 39;
inline constexpr unsigned long OVK_MSG_CONFLICTING_STYLE               = 43;
inline constexpr unsigned long OVK_MSG_NOT_AN_EXTENSION                = 45;
inline constexpr unsigned long OVK_MSG_THREAD_UNKNOWN                  = 46;
inline constexpr unsigned long OVK_MSG_THREAD_ALREADY_STARTED          = 47;
inline constexpr unsigned long OVK_MSG_THREAD_CANNOT_SUSPEND_ITSELF    = 48;
inline constexpr unsigned long OVK_MSG_VIEW_WINDOW_AMBIGUOUS           = 50;
inline constexpr unsigned long OVK_MSG_OBJECT_COPY_NOT_OVERRIDDEN      = 53;
inline constexpr unsigned long OVK_MSG_NOT_A_CONTAINER_RECORD          = 54;
inline constexpr unsigned long OVK_MSG_CELL_OCCUPIED                   = 55;
inline constexpr unsigned long OVK_MSG_HANDLER_STATE_INVALID           = 56;
inline constexpr unsigned long OVK_MSG_TEXT_TOO_LONG                   = 57;
inline constexpr unsigned long OVK_MSG_EMPTY_REFERENCE                 = 58;
inline constexpr unsigned long OVK_MSG_INVALID_HANDLE                  = 61;
inline constexpr unsigned long OVK_MSG_NO_CHILD_WITH_ID                = 62;
inline constexpr unsigned long OVK_MSG_WRONG_WINDOW_CLASS              = 65;
inline constexpr unsigned long OVK_MSG_TOO_MANY_THREAD_VARIABLES       = 66;
inline constexpr unsigned long OVK_MSG_RASTER_FONT_FIXED               = 67;
inline constexpr unsigned long OVK_MSG_ALLOCATOR_EXHAUSTED             = 68;
inline constexpr unsigned long OVK_MSG_ALLOCATOR_EMPTY_REQUEST         = 69;
inline constexpr unsigned long OVK_MSG_THREADS_UNSUPPORTED             = 71;
inline constexpr unsigned long OVK_MSG_ACCEL_TABLES_UNSUPPORTED        = 72;
inline constexpr unsigned long OVK_MSG_CLIP_REGION_UNSUPPORTED         = 73;

// Help viewer errors: the title and texts of the help handler's error box.
inline constexpr unsigned long OVK_MSG_HELP_ERROR_TITLE                = 80;
inline constexpr unsigned long OVK_MSG_HELP_VIEWER_ERROR_1005          = 88;
inline constexpr unsigned long OVK_MSG_HELP_VIEWER_ERROR_1011          = 89;
inline constexpr unsigned long OVK_MSG_HELP_VIEWER_ERROR_1012          = 90;
inline constexpr unsigned long OVK_MSG_HELP_FILE_NOT_OPENED_1014       = 91;
inline constexpr unsigned long OVK_MSG_HELP_FILE_NOT_OPENED_1018       = 92;
inline constexpr unsigned long OVK_MSG_HELP_VIEWER_ERROR_1019          = 93;
inline constexpr unsigned long OVK_MSG_HELP_FILE_NOT_OPENED_1020       = 94;
inline constexpr unsigned long OVK_MSG_HELP_VIEWER_NO_MEMORY           = 95;
inline constexpr unsigned long OVK_MSG_HELP_VIEWER_ERROR_1027          = 96;
inline constexpr unsigned long OVK_MSG_HELP_VIEWER_ERROR_1022          = 97;
inline constexpr unsigned long OVK_MSG_HELP_VIEWER_UNKNOWN_ERROR       = 99;

// More refusals: threads, frames, menus, controls, timers, drag and drop, the clipboard.
inline constexpr unsigned long OVK_MSG_NO_MESSAGE_LOOP                 = 100;
inline constexpr unsigned long OVK_MSG_ALREADY_AN_EXTENSION            = 101;
inline constexpr unsigned long OVK_MSG_PAGE_HAS_NO_STATUS_TEXT         = 104;
inline constexpr unsigned long OVK_MSG_MENU_ITEM_NOT_CHANGED           = 141;
inline constexpr unsigned long OVK_MSG_MENU_ITEM_NOT_FOUND             = 142;
inline constexpr unsigned long OVK_MSG_NO_SYSTEM_MENU                  = 143;
inline constexpr unsigned long OVK_MSG_NO_MENU_BAR                     = 144;
inline constexpr unsigned long OVK_MSG_SUBMENU_EXISTS                  = 148;
inline constexpr unsigned long OVK_MSG_NO_TITLE_BAR                    = 149;
inline constexpr unsigned long OVK_MSG_SLIDER_TICK_INVALID             = 151;
inline constexpr unsigned long OVK_MSG_NO_SUBMENU                      = 152;
inline constexpr unsigned long OVK_MSG_INDEX_OUT_OF_RANGE              = 154;
inline constexpr unsigned long OVK_MSG_RENDER_FORMAT_UNSUPPORTED       = 155;
inline constexpr unsigned long OVK_MSG_RENDER_MECHANISM_UNSUPPORTED    = 156;
inline constexpr unsigned long OVK_MSG_RENDER_OTHER_PROCESS            = 157;
inline constexpr unsigned long OVK_MSG_RENDER_DATA_UNAVAILABLE         = 158;
inline constexpr unsigned long OVK_MSG_DRAG_ITEM_HAS_NO_OBJECT         = 160;
inline constexpr unsigned long OVK_MSG_POSITION_INVALID                = 161;
inline constexpr unsigned long OVK_MSG_TIMER_NOT_FOUND                 = 172;
inline constexpr unsigned long OVK_MSG_TIMER_ALREADY_RUNNING           = 173;
inline constexpr unsigned long OVK_MSG_TIMER_TABLE_FULL                = 174;
inline constexpr unsigned long OVK_MSG_LIST_EMPTY                      = 184;
inline constexpr unsigned long OVK_MSG_TEXT_NOT_IN_LIST                = 187;
inline constexpr unsigned long OVK_MSG_NOT_NUMERIC_SPIN_BUTTON         = 190;
inline constexpr unsigned long OVK_MSG_NOT_TEXT_SPIN_BUTTON            = 191;
inline constexpr unsigned long OVK_MSG_NOT_MULTIPLE_SELECTION          = 194;
inline constexpr unsigned long OVK_MSG_CLIPBOARD_DATA_UNAVAILABLE      = 255;
inline constexpr unsigned long OVK_MSG_CLIPBOARD_FORMAT_NOT_REGISTERED = 256;
inline constexpr unsigned long OVK_MSG_CLIPBOARD_FORMAT_HAS_NO_NAME    = 257;

// Image files: failures of the bitmap model and failures that every format shares.
inline constexpr unsigned long OVK_MSG_IMAGE_UNKNOWN_ERROR             = 258;
inline constexpr unsigned long OVK_MSG_IMAGE_FILE_NOT_READABLE         = 259;
inline constexpr unsigned long OVK_MSG_IMAGE_FILE_NOT_WRITABLE         = 260;
inline constexpr unsigned long OVK_MSG_IMAGE_DEPTH_NOT_WRITABLE        = 261;
inline constexpr unsigned long OVK_MSG_IMAGE_NO_SCREEN_CONTEXT         = 262;
inline constexpr unsigned long OVK_MSG_IMAGE_MODEL_ERROR_6             = 263;
inline constexpr unsigned long OVK_MSG_IMAGE_MODEL_ERROR_8             = 264;
inline constexpr unsigned long OVK_MSG_IMAGE_BITMAP_NOT_CREATED        = 265;
inline constexpr unsigned long OVK_MSG_IMAGE_MODEL_ERROR_9             = 266;
inline constexpr unsigned long OVK_MSG_IMAGE_VARIANT_UNSUPPORTED       = 267;
inline constexpr unsigned long OVK_MSG_IMAGE_BAD_OPTIONS               = 268;
inline constexpr unsigned long OVK_MSG_IMAGE_UNKNOWN_EXTENSION         = 269;
inline constexpr unsigned long OVK_MSG_IMAGE_BAD_SIGNATURE             = 270;
inline constexpr unsigned long OVK_MSG_IMAGE_BAD_SIZE                  = 271;
inline constexpr unsigned long OVK_MSG_IMAGE_READ_FAILED               = 272;
inline constexpr unsigned long OVK_MSG_IMAGE_WRITE_FAILED              = 273;

// Image files: failures of one format each.
inline constexpr unsigned long OVK_MSG_BMP_PLANES                      = 274;
inline constexpr unsigned long OVK_MSG_BMP_BIT_COUNT                   = 275;
inline constexpr unsigned long OVK_MSG_BMP_HEADER_SIZE                 = 276;
inline constexpr unsigned long OVK_MSG_BMP_COMPRESSION                 = 277;
inline constexpr unsigned long OVK_MSG_BMP_INVALID                     = 278;
inline constexpr unsigned long OVK_MSG_GIF_DEPTH                       = 279;
inline constexpr unsigned long OVK_MSG_GIF_IMAGE_MISSING               = 280;
inline constexpr unsigned long OVK_MSG_GIF_CODE_SIZE                   = 281;
inline constexpr unsigned long OVK_MSG_GIF_STRING_TOO_LONG             = 282;
inline constexpr unsigned long OVK_MSG_ZVX_FILE_SIZE                   = 283;
inline constexpr unsigned long OVK_MSG_VORN_PALETTE_NOT_OPENED         = 284;
inline constexpr unsigned long OVK_MSG_VORN_PALETTE_NOT_CREATED        = 285;
inline constexpr unsigned long OVK_MSG_ILBM_NO_FORM                    = 286;
inline constexpr unsigned long OVK_MSG_ILBM_FORM_TYPE                  = 287;
inline constexpr unsigned long OVK_MSG_ILBM_SECOND_BMHD                = 288;
inline constexpr unsigned long OVK_MSG_ILBM_CHUNK_BEFORE_BMHD          = 289;
inline constexpr unsigned long OVK_MSG_ILBM_BMHD_SIZE                  = 290;
inline constexpr unsigned long OVK_MSG_ILBM_PLANES                     = 291;
inline constexpr unsigned long OVK_MSG_ILBM_CMAP_SIZE                  = 292;
inline constexpr unsigned long OVK_MSG_ILBM_COMPRESSION                = 293;
inline constexpr unsigned long OVK_MSG_ILBM_CAMG_SIZE                  = 294;
inline constexpr unsigned long OVK_MSG_ILBM_SHAM_VERSION               = 295;
inline constexpr unsigned long OVK_MSG_PCX_VERSION                     = 296;
inline constexpr unsigned long OVK_MSG_PCX_ENCODING                    = 297;
inline constexpr unsigned long OVK_MSG_PCX_LAYOUT                      = 298;
inline constexpr unsigned long OVK_MSG_PCX_PALETTE_MARKER              = 299;
inline constexpr unsigned long OVK_MSG_PNM_MAX_VALUE                   = 300;
inline constexpr unsigned long OVK_MSG_PLVN_RECORD_START               = 301;
inline constexpr unsigned long OVK_MSG_PLVN_RECORD_ID                  = 302;
inline constexpr unsigned long OVK_MSG_PLVN_NO_DESCRIPTOR              = 303;
inline constexpr unsigned long OVK_MSG_PLVN_IMAGE_WIDTH                = 304;
inline constexpr unsigned long OVK_MSG_PLVN_CELL_WIDTH                 = 305;
inline constexpr unsigned long OVK_MSG_PLVN_POSITION_CELL_WIDTH        = 306;
inline constexpr unsigned long OVK_MSG_PLVN_POSITION_X_OFFSET          = 307;
inline constexpr unsigned long OVK_MSG_PLVN_RECORD_IN_RASTER           = 308;
inline constexpr unsigned long OVK_MSG_SPRITE_FIRST_BIT                = 309;
inline constexpr unsigned long OVK_MSG_SPRITE_SCREEN_MODE              = 310;
inline constexpr unsigned long OVK_MSG_SPRITE_INDEX                    = 311;
inline constexpr unsigned long OVK_MSG_SPRITE_PALETTE                  = 312;
inline constexpr unsigned long OVK_MSG_TGA_BIT_COUNT                   = 313;
inline constexpr unsigned long OVK_MSG_TGA_IMAGE_TYPE                  = 314;
inline constexpr unsigned long OVK_MSG_TGA_MAP_ENTRY_SIZE              = 315;
inline constexpr unsigned long OVK_MSG_TIFF_VERSION                    = 316;
inline constexpr unsigned long OVK_MSG_TIFF_TOO_MANY_ENTRIES           = 317;
inline constexpr unsigned long OVK_MSG_TIFF_DIRECTORY_UNREADABLE       = 318;
inline constexpr unsigned long OVK_MSG_TIFF_DIRECTORY_INVALID          = 319;
inline constexpr unsigned long OVK_MSG_TIFF_REQUIRED_TAG_MISSING       = 320;
inline constexpr unsigned long OVK_MSG_TIFF_GREY_SAMPLES               = 321;
inline constexpr unsigned long OVK_MSG_TIFF_GREY_BITS                  = 322;
inline constexpr unsigned long OVK_MSG_TIFF_RGB_SAMPLES                = 323;
inline constexpr unsigned long OVK_MSG_TIFF_RGB_BITS                   = 324;
inline constexpr unsigned long OVK_MSG_TIFF_PALETTE_SAMPLES            = 325;
inline constexpr unsigned long OVK_MSG_TIFF_PALETTE_BITS               = 326;
inline constexpr unsigned long OVK_MSG_TIFF_CMYK_SAMPLES               = 327;
inline constexpr unsigned long OVK_MSG_TIFF_CMYK_BITS                  = 328;
inline constexpr unsigned long OVK_MSG_TIFF_COMPRESSION_2              = 329;
inline constexpr unsigned long OVK_MSG_TIFF_COMPRESSION_3              = 330;
inline constexpr unsigned long OVK_MSG_TIFF_COMPRESSION_4              = 331;
inline constexpr unsigned long OVK_MSG_TIFF_COMPRESSION                = 332;
inline constexpr unsigned long OVK_MSG_TIFF_NO_COLOR_MAP               = 333;
inline constexpr unsigned long OVK_MSG_TIFF_STRING_TOO_LONG            = 334;
inline constexpr unsigned long OVK_MSG_TIFF_PREDICTOR                  = 335;
inline constexpr unsigned long OVK_MSG_TIFF_TRANSPARENCY_MASK          = 336;
inline constexpr unsigned long OVK_MSG_TIFF_YCBCR                      = 337;
inline constexpr unsigned long OVK_MSG_TIFF_PHOTOMETRIC                = 338;
inline constexpr unsigned long OVK_MSG_TIFF_FILL_ORDER                 = 339;
inline constexpr unsigned long OVK_MSG_TIFF_PLANAR_CONFIG              = 340;
inline constexpr unsigned long OVK_MSG_TIFF_RGB_PLANAR_CONFIG          = 341;
inline constexpr unsigned long OVK_MSG_TIFF_INK_SET                    = 342;
inline constexpr unsigned long OVK_MSG_TIFF_ORIENTATION                = 343;
inline constexpr unsigned long OVK_MSG_TIFF_DIRECTORY_MISSING          = 344;
inline constexpr unsigned long OVK_MSG_YUV_WIDTH                       = 345;
inline constexpr unsigned long OVK_MSG_XBM_IDENTIFIER                  = 346;
inline constexpr unsigned long OVK_MSG_XBM_NO_ARRAY_TYPE               = 347;
inline constexpr unsigned long OVK_MSG_XBM_ARRAY_TYPE                  = 348;
inline constexpr unsigned long OVK_MSG_XBM_OPEN_BRACKET                = 349;
inline constexpr unsigned long OVK_MSG_XBM_CLOSE_BRACKET               = 350;
inline constexpr unsigned long OVK_MSG_XBM_EQUALS                      = 351;
inline constexpr unsigned long OVK_MSG_XBM_OPEN_BRACE                  = 352;
inline constexpr unsigned long OVK_MSG_XBM_CLOSE_BRACE                 = 353;
inline constexpr unsigned long OVK_MSG_XBM_SEPARATOR                   = 354;
inline constexpr unsigned long OVK_MSG_XBM_NUMBER                      = 355;
inline constexpr unsigned long OVK_MSG_XBM_SEMICOLON                   = 356;

#endif // OVKMSGID_HPP
