// The whole GDI+ object layer. GDI+ must be started (GdiplusStartup) before any of
// these objects is created, and every object released before it is shut down.
#pragma once

#include "gdiplus/gdip_api.h"
#include "gdiplus/gdip_brush.h"
#include "gdiplus/gdip_codecs.h"
#include "gdiplus/gdip_font.h"
#include "gdiplus/gdip_graphics.h"
#include "gdiplus/gdip_guid.h"
#include "gdiplus/gdip_image.h"
#include "gdiplus/gdip_image_attributes.h"
#include "gdiplus/gdip_memory_stream.h"
#include "gdiplus/gdip_object.h"
#include "gdiplus/gdip_path.h"
#include "gdiplus/gdip_status.h"
#include "gdiplus/gdip_string_format.h"
