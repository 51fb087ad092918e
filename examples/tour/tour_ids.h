// Control and menu ids of the tour, shared by the program and its
// end-to-end test.
#pragma once

#include <windows.h>

#include <cstdint>

enum TourId : std::int32_t {
    kStatus = 101,  // the status line at the bottom: every action reports there
    kChoicesFrame = 109,
    kThreeStates = 110,
    kCheck = 111,
    kRed = 112,
    kGreen = 113,
    kBlue = 114,
    kFruitList = 120,
    kFruitCombo = 121,
    kFruitBox = 122,
    kAdd = 123,
    kDeleteFirst = 124,
    kSelectFirst = 125,
    kClearLists = 126,
    kPointerCaption = 130,
    kPointerList = 131,
    kImageFrame = 140,
    kSunImage = 141,
    kLeafImage = 142,
    kStarButton = 143,
    kSkyButton = 144,
    kImageCaption = 145,  // 145 to 148: one caption under each image
    kScroller = 150,
    kScrollCaption = 151,
    kSizeCaption = 152,
    kMover = 153,
    kMove = 160,
    kModal = 161,
    kModeless = 162,
    kEnableBox = 163,
    kFocusBox = 164,
    kReadBox = 165,
    kOnce = 166,
    kRemove = 167,
    kRemovable = 168,
    kMore =
        169,  // opens "More controls": tabs with pages, slider, up-down, list view, progress bar, status bar, tooltips
    kMoreTabs = 200,
    kMoreSlider = 201,
    kMoreSliderCaption = 202,
    kMoreBox = 203,  // the up-down's buddy
    kMoreUpDown = 204,
    kMoreStatus = 205,
    kMoreClose = 206,
    kMoreList = 207,
    kMoreProgress = 208,  // follows the slider: 10 times its position
    kExit = IDCANCEL,     // Escape asks for IDCANCEL, so it exits too

    kMenuSayHello = 300,
    kMenuExit = 301,
    kMenuFrame = 310,
    kMenuGray = 311,
    kMenuLarger = 312,
    kMenuMorning = 313,
    kMenuEvening = 314,
    kMenuClearChecks = 315,
    kMenuMeasure = 316,
    kMenuRemoveMe = 317,
    kMenuAbout = 320,
};
