/* A C host of TesselControl: the shipped header TesselControl.h declares
   the dual interface for C as a vtable reached through lpVtbl. Creates the
   control, adds a column and reads the columns back.

   Build: gcc c_host.c -I<dist folder> -lole32 -loleaut32 -luuid
   (or cl c_host.c ole32.lib oleaut32.lib). Needs the control registered. */
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <stdio.h>

#include "TesselControl.h"

static int failed(HRESULT hr, const char* what) {
  if (SUCCEEDED(hr)) return 0;
  printf("error: %s failed (0x%08lX)\n", what, (unsigned long)hr);
  return 1;
}

static int run(void) {
  _TesselControl* control = NULL;
  IPersistStreamInit* persist = NULL;
  BSTR caption = SysAllocString(L"Modified");
  LONG width = 120, index = 0, count = 0, column;
  IPictureDisp* no_picture = NULL;
  int status = 1;

  if (failed(CoCreateInstance(&CLSID_TesselControl, NULL, CLSCTX_INPROC_SERVER, &IID__TesselControl,
                              (void**)&control),
             "creating the control")) {
    goto done;
  }
  /* A host starts a new control with InitNew: one column, 60 pixels wide. */
  if (failed(control->lpVtbl->QueryInterface(control, &IID_IPersistStreamInit, (void**)&persist),
             "IPersistStreamInit") ||
      failed(persist->lpVtbl->InitNew(persist), "InitNew") ||
      failed(control->lpVtbl->AddRow(control, &width, &caption, &no_picture, &index), "AddRow") ||
      failed(control->lpVtbl->get_NumberOfRows(control, &count), "NumberOfRows")) {
    goto done;
  }
  printf("AddRow returned column %ld of %ld\n", index, count);
  for (column = 1; column <= count; ++column) {
    BSTR text = NULL;
    LONG pixels = 0;
    if (failed(control->lpVtbl->get_RowCaption(control, column, &text), "RowCaption") ||
        failed(control->lpVtbl->get_RowWidth(control, column, &pixels), "RowWidth")) {
      goto done;
    }
    printf("column %ld: \"%ls\", %ld pixels\n", column, text ? text : L"", pixels);
    SysFreeString(text);
  }
  printf("done\n");
  status = 0;

done:
  if (persist) persist->lpVtbl->Release(persist);
  if (control) control->lpVtbl->Release(control);
  SysFreeString(caption);
  return status;
}

int main(void) {
  int status;
  if (failed(CoInitializeEx(NULL, COINIT_APARTMENTTHREADED), "CoInitializeEx")) return 1;
  status = run();
  CoUninitialize();
  return status;
}
