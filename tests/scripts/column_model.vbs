' A scripting user's view of the control: created by ProgID, columns added,
' read back, and error 9 for an index outside the columns.
Option Explicit

Sub Check(condition, message)
  If Not condition Then
    Err.Raise vbObjectError + 1, "column_model.vbs", "check failed: " & message
  End If
End Sub

Dim header, index, caption, width, number, description
Set header = CreateObject("QuonTessel.TesselControl")
Check header.NumberOfRows = 0, "a script-created control starts without columns"

index = header.AddRow(120, "&Name")
Check index = 1, "first AddRow returns 1"
caption = ""
width = 80
index = header.AddRow(width, caption)
Check index = 2, "second AddRow returns 2"
Check caption = "Spalte", "the empty caption variable receives Spalte, got '" & caption & "'"
header.AddRow
Check header.NumberOfRows = 3, "three columns"

Check header.RowCaption(1) = "&Name", "caption 1"
Check header.RowWidth(2) = 80, "width 2"
Check header.RowCaption(3) = "Spalte", "caption 3"
Check header.RowWidth(3) = 60, "width 3 defaults to 60"
header.RowWidth(3) = 150
Check header.RowWidth(3) = 150, "width 3 after assignment"
header.RowSorted(2) = True
Check header.RowSorted(2) = True, "sorted flag"
Check header.GetTabAccessKey(Asc("n")) = 1, "access key n of &Name"

header.DeleteRow
Check header.NumberOfRows = 2, "DeleteRow drops the last column"

On Error Resume Next
width = header.RowWidth(7)
number = Err.Number
description = Err.Description
On Error GoTo 0
Check number = 9, "a bad index raises error 9, got " & number
Check description = "Subscript out of range", "error text, got '" & description & "'"

On Error Resume Next
header.RowCaption(-1) = "x"
number = Err.Number
On Error GoTo 0
Check number = 9, "a negative index raises error 9, got " & number
