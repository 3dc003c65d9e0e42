#include "skin/face_scale.h"

#include "base/display_scale.h"

namespace skin {

FaceMetrics FacesForDpi(const Palette& palette, int dpi) {
  dpi = ClampDpi(dpi);
  const int percent = NearestArtworkScale(dpi);
  const FaceMetrics drawn = percent == 200 ? palette.faces200 : percent == 150 ? palette.faces150 : BaseFaces(palette);
  const int drawnDpi = DpiOfScale(percent);
  if (dpi == drawnDpi) return drawn;
  auto rest = [dpi, drawnDpi](int v) { return ScaleBetweenDpis(v, drawnDpi, dpi); };
  auto line = [&rest](int v) { return rest(v) < 1 ? 1 : rest(v); };
  return {rest(drawn.buttonRadius), rest(drawn.progressRadius), line(drawn.editBorderWidth),
          line(drawn.lineWidth),    rest(drawn.focusInset),     rest(drawn.progressInset)};
}

}  // namespace skin
