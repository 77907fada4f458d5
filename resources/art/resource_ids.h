// Bitmap resource numbers of KOVA.exe.
//
// The screens and the monitor panel load their pictures by these numbers.
// Numbers marked "chosen" are ours to pick (nothing outside this program
// refers to them); they sit in the free ranges 600-619 and 640-659.
// Plain #defines so that the resource compiler can read this file too.
#ifndef KOVA_RESOURCES_ART_RESOURCE_IDS_H
#define KOVA_RESOURCES_ART_RESOURCE_IDS_H

// Splash shown while the language screen opens, 498 x 289.
#define IDB_SPLASH 180

// Button images, 8-bit, white is the transparent colour.
#define IDB_BTN_MONITOR 228    // 32 x 32
#define IDB_BTN_NEXT 229       // 32 x 32
#define IDB_BTN_SAVE_FILE 230  // 33 x 33
#define IDB_BTN_RETURN 232     // 32 x 32
#define IDB_BTN_EXIT 233       // 32 x 32
#define IDB_BTN_LOAD_FILE 234  // 32 x 32
#define IDB_BTN_WRITE_ALL 270  // 93 x 27, the "Turn" button of the data screens
#define IDB_BTN_CALIBRATE 273  // 93 x 27, CALIBRAR on the monitor panel
#define IDB_BTN_LANG_PT 610    // 47 x 31, chosen
#define IDB_BTN_LANG_EN 611    // 47 x 31, chosen
#define IDB_BTN_LANG_ES 612    // 47 x 31, chosen
#define IDB_BTN_RECORD 613      // 32 x 32, monitor panel: start recording; chosen
#define IDB_BTN_RECORD_STOP 614 // 32 x 32, monitor panel: recording, click to stop; chosen
#define IDB_BTN_APPLY_FILE 615  // 93 x 27, customer screen: write the loaded file; chosen
#define IDB_BTN_REPORT 616      // 32 x 32, customer screen: the installation report; chosen
#define IDB_BTN_CHART_PAUSE 640     // 32 x 32, monitor panel: hold the live chart; chosen
#define IDB_BTN_CHART_CONTINUE 641  // 32 x 32, monitor panel: let the chart move again; chosen
#define IDB_BTN_OPEN_RECORDING 642  // 32 x 32, monitor panel: open a recording; chosen
#define IDB_BTN_ZOOM_IN 643         // 32 x 32, recording viewer; chosen
#define IDB_BTN_ZOOM_OUT 644        // 32 x 32, recording viewer; chosen
#define IDB_BTN_ZOOM_WHOLE 645      // 32 x 32, recording viewer: the whole run; chosen

// Screen backgrounds, tiled by the screen base.
#define IDB_BG_SELECTION 600         // 487 x 190, language, model and port screens; chosen
#define IDB_BG_CUSTOMER_VELA 601     // 800 x 580, chosen
#define IDB_BG_CUSTOMER_BRIO 602     // 800 x 580, BRIO and VELA plus; chosen
#define IDB_BG_VEHICLE_VELA 603      // 800 x 580, chosen
#define IDB_BG_VEHICLE_VELAPLUS 604  // 800 x 580, chosen
#define IDB_BG_VEHICLE_BRIO 605      // 800 x 580, vehicle and switch-over screen; chosen
#define IDB_BG_AUX_VELA 606          // 800 x 580, chosen
#define IDB_BG_AUX_BRIO 607          // 800 x 580, BRIO and VELA plus; chosen
#define IDB_BG_DATA_VELA 248         // 800 x 580, actuator screen for VELA
#define IDB_BG_DATA_BRIO 249         // 800 x 580, actuator screen otherwise; lambda and injection screen
#define IDB_BG_LAMBDA_VELA 250       // 800 x 580, lambda simulation screen (VELA)
#define IDB_BG_LAMBDA_REAL 314       // 800 x 580, lambda and injection screen with the live display
#define IDB_BG_MONITOR_VELA 275      // 1024 x 768
#define IDB_BG_MONITOR_BRIO 276      // 1024 x 768, BRIO and VELA plus
#define IDB_BG_VIEWER 646            // 1024 x 768, the recording viewer; chosen

// The pictures in English and Spanish (buttons whole, the words of the
// backgrounds and the splash as strips), numbered by the generator from
// here up in the pictures' order: art_languages.h, written beside
// bitmaps.rc, says which is which.
#define IDB_LANGUAGE_FIRST 3000

// Monitor panel and live display pieces.
#define IDB_BAR 277                  // 12 x 240, TPS and lambda bars
#define IDB_ACTUATOR_FIRST 316       // 46 x 69, frame j is IDB_ACTUATOR_FIRST + j
#define IDB_ACTUATOR_FRAMES 32       // frame 0 wide open (240 steps), frame 31 closed
#define IDB_DIGIT_BIG_FIRST 349      // 17 x 27, digit d is IDB_DIGIT_BIG_FIRST + d
#define IDB_DIGIT_SMALL_FIRST 359    // 9 x 14, digit d is IDB_DIGIT_SMALL_FIRST + d
#define IDB_DIGIT_SMALL_POINT 369    // 4 x 14, decimal point of the small readouts
#define IDB_ARC_DOT_FIRST 379        // 9 x 9, dot i of the engine-speed arc is IDB_ARC_DOT_FIRST + i
#define IDB_ARC_DOTS 28
#define IDB_SCALE_GREEN 407          // 25 x 240, actuator scale
#define IDB_SCALE_RED 408            // 25 x 240
#define IDB_SCALE_MARKER 419         // 12 x 15, arrow pointing at the scale

#endif
