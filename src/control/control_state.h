// What one TesselControl instance holds. The painter and the mouse handling
// work on this state; the control's members change it.
#pragma once

#include <windows.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "control/tab_array.h"

namespace tessel {

// Appearance values, stored as set (no range checks).
struct Appearance {
  LONG HeaderHeight = 0;
  OLE_COLOR BackColor = 0;
  OLE_COLOR ForeColor = 0;
  OLE_COLOR ForeColorActive = 0;
  OLE_COLOR BackColorForm = 0;
  OLE_COLOR ForeColorHot = 0;
  OLE_COLOR FrameColor = 0;
  OLE_COLOR MaskColor = 0;
  OLE_COLOR MouseMoveColor0 = 0;
  OLE_COLOR MouseMoveColor1 = 0;
  OLE_COLOR MouseMoveColor2 = 0;
  OLE_COLOR RegisterFocusColor0 = 0;
  OLE_COLOR RegisterFocusColor1 = 0;
  OLE_COLOR RegisterFocusColor2 = 0;
  LONG Alignment = 0;  // eTabAlignment; any value is kept
  bool ShowFrame = false;
  bool ShowSortPic = false;
  std::wstring FontName;
  float FontSize = 0;
  bool FontBold = false;
  bool FontItalic = false;
  bool FontStrikethru = false;
  bool FontUnderline = false;
};

// The most columns a control holds. Saved forms carry the count as a Long,
// but ColumnWidths and the press state number columns as 16-bit integers,
// and a load refuses a larger count; AddRow stops here with an overflow, so
// whatever a control holds saves and loads again.
inline constexpr LONG kMaxColumnCount = 32767;

struct ControlState {
  LONG NumberOfRows = 0;
  TabArray Tabs;
  LONG SelectedRow = 0;  // 0: none
  LONG SortedRow = 0;
  SHORT PreviousTab = 0;
  LONG HotTab = 0;  // 0: none
  std::wstring TabAccessKeys;
  std::vector<RECT> TabRects;    // index i: column i, written by each paint pass
  bool TabRectsOrdered = false;  // TabRects sorted without overlaps (rects_ordered)
  // Paint passes begun: a pass that calls out (a column picture's code may
  // change the columns and repaint) sees from it whether a nested pass ran.
  unsigned long PaintPasses = 0;
  std::wstring ColumnWidths;
  Appearance look;
};

}  // namespace tessel
