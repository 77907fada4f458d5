/* The frame every data screen's template shares: the source selector and
   the status line at the lower left, the buttons at the bottom, the write
   button above them. One definition for every template that includes it. */
#ifndef KOVA_DATA_FRAME_H
#define KOVA_DATA_FRAME_H

#define FRAME_BUTTON BS_OWNERDRAW | WS_TABSTOP

#define DATA_FRAME_BUTTONS \
  CONTROL "", IDC_RETURN, "Button", FRAME_BUTTON, 250, 322, 28, 24 \
  CONTROL "", IDC_NEXT, "Button", FRAME_BUTTON, 284, 322, 28, 24 \
  CONTROL "", IDC_LOAD, "Button", FRAME_BUTTON, 318, 322, 28, 24 \
  CONTROL "", IDC_SAVE, "Button", FRAME_BUTTON, 352, 322, 28, 24 \
  CONTROL "", IDC_MONITOR, "Button", FRAME_BUTTON, 386, 322, 28, 24 \
  CONTROL "", IDC_EXIT, "Button", FRAME_BUTTON, 420, 322, 28, 24

/* The frame with its write button; `action` is the button in that place. */
#define DATA_FRAME_WITH(action, action_style, list_style) \
  COMBOBOX IDC_SOURCE, 16, 326, 90, 40, list_style | WS_VSCROLL | WS_TABSTOP \
  LTEXT "", IDC_STATUS, 16, 306, 300, 10, NOT WS_VISIBLE \
  CONTROL "", action, "Button", FRAME_BUTTON | action_style, 440, 288, 66, 22 \
  DATA_FRAME_BUTTONS

#define DATA_FRAME DATA_FRAME_WITH(IDC_WRITE, 0, CBS_DROPDOWN)

#endif
