#pragma once
// The program's own image strip (the indices of ImageListModel.h), drawn at any size,
// and the toolkit image lists built from the core image lists.
#include <wx/bitmap.h>
#include <wx/imaglist.h>

#include "framework/ImageListModel.h"

// One image of the strip; the index past the strip gives a blank image.
wxBitmap StripImage(int index, int size);
// Brings a toolkit image list up to date with the core list (strip first, then the
// images objects added); images already there stay.
void SyncImageList(wxImageList& target, const CImageList& source);
