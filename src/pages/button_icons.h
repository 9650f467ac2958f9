// The 16 × 16, 16-colour icons of the column page's picture buttons.
#pragma once

#include "framework/user_handles.h"

namespace tessel {

// "Bild auswählen": an open yellow folder.
framework::Icon make_open_folder_icon();
// "Bild löschen": a dark red cross.
framework::Icon make_delete_icon();

}  // namespace tessel
