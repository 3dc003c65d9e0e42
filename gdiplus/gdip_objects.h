// The whole GDI+ object layer. GDI+ must be started (GdiplusStartup) before any of
// these objects is created, and every object released before it is shut down.
#pragma once

#include "gdip_api.h"
#include "gdip_brush.h"
#include "gdip_codecs.h"
#include "gdip_font.h"
#include "gdip_graphics.h"
#include "gdip_guid.h"
#include "gdip_image.h"
#include "gdip_image_attributes.h"
#include "gdip_memory_stream.h"
#include "gdip_object.h"
#include "gdip_path.h"
#include "gdip_status.h"
#include "gdip_string_format.h"
