' Creates the control by its ProgID, adds three columns, prints them, and
' shows what a script sees for a column index that does not exist.
Option Explicit

Dim header, i, width
Set header = CreateObject("QuonTessel.TesselControl")
header.AddRow 150, "&Name"
header.AddRow 80, "Size"
header.AddRow 120, "Modified"

WScript.Echo "TesselControl with " & header.NumberOfRows & " columns:"
For i = 1 To header.NumberOfRows
  WScript.Echo "  column " & i & ": caption """ & header.RowCaption(i) & """, width " & _
               header.RowWidth(i) & " px"
Next

On Error Resume Next
width = header.RowWidth(4)
WScript.Echo "RowWidth(4) -> error " & Err.Number & ": " & Err.Description
On Error GoTo 0
