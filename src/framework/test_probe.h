// A private interface through which the hosting tests look at what the
// framework does: fill the surface, read its size, set the height, read the
// ambient font, read the log of notifications delivered to the control, and
// count paint passes. Not part of the control's public interface or its type
// library; no container uses it.
//
// Only the tests' builds carry it (test_probe.cpp): the DLL that the tests
// register, TesselControlTest.dll, and the test programs' own copy of the
// control code. The shipped DLL answers no QueryInterface for it.
#pragma once

#include <unknwn.h>
#include <ocidl.h>
#include <wtypes.h>

namespace framework {

// {C0E4667A-8A9B-47B5-BB61-1D9C3E88B6DC}
inline constexpr IID IID_IHostingTestProbe = {
    0xc0e4667a, 0x8a9b, 0x47b5, {0xbb, 0x61, 0x1d, 0x9c, 0x3e, 0x88, 0xb6, 0xdc}};

struct IHostingTestProbe : public IUnknown {
  // Sets the surface's background colour, clears it and refreshes.
  virtual HRESULT STDMETHODCALLTYPE FillSurface(OLE_COLOR color) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSurfaceSize(LONG* width, LONG* height) = 0;
  // The control's set_height_twips.
  virtual HRESULT STDMETHODCALLTYPE SetHeightTwips(float twips) = 0;
  // The control's ambient_font().
  virtual HRESULT STDMETHODCALLTYPE GetAmbientFont(IFontDisp** font) = 0;
  // From now on, each notification delivered to the control's hooks is
  // logged, one line each ("resize 300x40", "mouse_down 1 0 10 5", ...).
  virtual HRESULT STDMETHODCALLTYPE StartHookLog() = 0;
  // The lines logged since the last call; the log goes on.
  virtual HRESULT STDMETHODCALLTYPE TakeHookLog(BSTR* log) = 0;
  // How many times the surface has been shown since the control was made
  // (FillSurface included). Every paint pass ends by showing it once, so the
  // difference between two readings counts the passes in between.
  virtual HRESULT STDMETHODCALLTYPE GetPaintCount(LONG* count) = 0;
};

// Gives every control made from now on in this module the probe.
void install_hosting_test_probe();

}  // namespace framework
