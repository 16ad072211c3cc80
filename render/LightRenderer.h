// Lights one rectangle of the document: builds the light map from the matte
// and the placed shape, softens it and applies it with the light colour.
// One renderer serves one final render or one run of the dialog.
#pragma once

#include <cstdint>
#include <memory>

#include "fx/ImageScaler.h"
#include "host/HostDocument.h"
#include "host/LightParameters.h"
#include "host/PathBuffer.h"
#include "render/WorkerPool.h"

namespace veyra {

class LightRenderer {
 public:
  // How often each stage ran, for tests and benchmarks: a stage served from
  // its cache does not count.
  struct Statistics {
    long shapeLoads = 0;      // shape files read (successfully or not)
    long canvasBuilds = 0;    // shape canvases built (with or without result)
    long matteBuilds = 0;     // mattes extracted
    long lightMapBuilds = 0;  // light maps computed
    long lightBlurs = 0;      // light blurs run (light map or light image)
  };

  // preview: true for the dialog (caches on, the shape canvas at the preview
  // size), false for the final render. Both references must outlive the
  // renderer; the parameters are read afresh on every render. The pixel
  // stages run on workerThreads() threads, started on first use and joined
  // when the renderer goes; host calls stay on the renderer's caller.
  LightRenderer(HostDocument& host, LightParameters& params, bool preview);
  ~LightRenderer();
  LightRenderer(const LightRenderer&) = delete;
  LightRenderer& operator=(const LightRenderer&) = delete;

  // Stores the size of the whole image being rendered, converts the light
  // colour into the document's colour space through the host and rebuilds the
  // matte table. Called before the first tile, and by the dialog before every
  // refresh.
  void prepareForSize(int32_t fullWidth, int32_t fullHeight);

  // Lights in place the pixels of rect (full-image coordinates), which lie in
  // the tile buffer from its first row and column on, with the buffer's row
  // bytes (the buffer may be larger than rect). Tiles that are not 8-bit
  // grayscale, RGB or CMYK, and tiles without a light map (shape blend Only
  // and no shape file), are left unchanged. A grayscale tile of several slots
  // (a target that does not fit the image mode, HostDocument::pixelMode) has
  // each of the host's target channels lit on its own as grayscale.
  void renderTile(HostBuffer& tile, const VRect& rect);

  // The one-plane light map of rect (source laid out as for renderTile), or
  // nothing in shape blend Only without a shape file. In the dialog the
  // result may be a cached buffer, which callers must not change.
  HostBufferRef lightMap(const HostBuffer& source, const VRect& rect);
  // The one-plane matte of rect, blurred by the matte blur; cached in the
  // dialog (callers must not change it).
  HostBufferRef matte(const HostBuffer& source, const VRect& rect);
  // The placed shape for a full image of the given size, or nothing (no
  // shape file, an unreadable one, or a shape scaled to nothing). In the
  // dialog the canvas has that size and is cached; in the final render it has
  // the shape's own size and is built once for all tiles.
  HostBufferRef shapeCanvas(int32_t fullWidth, int32_t fullHeight);

  // The dialog's light-map view: the light map of the whole source proxy
  // copied into the one-plane view buffer (of the proxy's size). Without a
  // light map (shape blend Only and no shape file) the view is cleared to 0.
  // A proxy of separate grayscale channels shows its first channel's, in
  // both views.
  void lightMapView(const HostBuffer& source, HostBuffer& view);
  // The dialog's shape view: the placed shape for the prepared size, bent by
  // the proxy's brightness when the light displacement is not 0, in the
  // one-plane view buffer. Without a canvas the view is cleared to 0.
  void shapeView(const HostBuffer& source, HostBuffer& view);

  // The preview's scale against the document (1.0 in the final render); blur
  // lengths are multiplied by it.
  void setZoom(float zoomX, float zoomY) {
    zoomX_ = zoomX;
    zoomY_ = zoomY;
  }
  float zoomX() const { return zoomX_; }
  float zoomY() const { return zoomY_; }
  bool preview() const { return preview_; }
  int32_t fullWidth() const { return fullWidth_; }
  int32_t fullHeight() const { return fullHeight_; }
  const uint8_t* lightColor() const { return lightColor_; }
  const uint8_t* matteTable() const { return matteTable_; }
  const Statistics& statistics() const { return stats_; }

  // The parameters a cache was made with. Numbers are compared as raw values
  // (bit patterns), so a NaN parameter still finds its cache.
  struct MatteKeys {
    int32_t channel;
    double position, range, blur;
    float zoomX, zoomY;
  };
  struct ShapeKeys {
    int32_t blendMode;
    PathBuffer file;
    double opacity, blurX, blurY, positionX, positionY, scaleX, scaleY, rotation;
    CornerPoint corners[4];
    double displacement;
    float zoomX, zoomY;
  };

 private:
  void convertLightColor();
  MatteKeys matteKeys() const;
  ShapeKeys shapeKeys() const;
  HostBufferRef shapeImage();
  HostBufferRef shapeTile(const HostBuffer& source, const VRect& rect, const HostBuffer& canvas);
  bool isCached(const HostBuffer* buffer) const;
  // The number of grayscale channels a tile holds one per slot, or 0 for a
  // tile of the image mode's own pixels.
  int32_t separateChannels(const HostBuffer& tile) const;
  // A one-plane copy of the first channel of such a tile, or nothing.
  HostBufferRef firstChannel(const HostBuffer& source);

  // The working buffers of one tile. The final render keeps each for the
  // next band: a buffer of the same width that nothing else holds any more
  // and was made with enough rows is handed out again, showing `height` of
  // them, its bytes left as the last band wrote them (every user writes the
  // whole buffer). A new one is made with `rows` rows when that is more than
  // height (the rows of the band buffer, so that the bands of other heights,
  // the first and the last, find it big enough). The dialog gets a new
  // buffer of the height every time, as its caches keep them.
  enum WorkSlot { kWorkMatte, kWorkShape, kWorkImage, kWorkSlots };
  HostBufferRef workBuffer(WorkSlot slot, int32_t width, int32_t height, int32_t rows, int32_t planes,
                           int16_t mode);

  // Runs body(top, bottom) over bands of the rows [0, height) of a stage
  // whose rows are width samples long, on the pool when it pays.
  void forRows(int32_t height, int32_t width, const std::function<void(int32_t, int32_t)>& body);

  HostDocument& host_;
  LightParameters& params_;
  bool preview_;
  WorkerPool pool_;
  float zoomX_ = 1.0f;
  float zoomY_ = 1.0f;
  int32_t fullWidth_ = 0;
  int32_t fullHeight_ = 0;
  uint8_t lightColor_[4] = {0, 0, 0, 0};
  uint8_t matteTable_[256];
  Statistics stats_;

  // The decoded shape and the name it was read from (both modes).
  PathBuffer shapeName_;
  HostBufferRef shape_;
  // Final render: the canvas, built once.
  bool finalCanvasBuilt_ = false;
  HostBufferRef finalCanvas_;
  // Resamples shape tiles from a canvas of another size; kept from tile to
  // tile for its column tables, which every band of a render shares.
  fx::RectScaler shapeScaler_;
  HostBufferRef work_[kWorkSlots];
  // Dialog caches.
  HostBufferRef cachedCanvas_;
  ShapeKeys canvasKeys_{};
  int32_t canvasRequestWidth_ = 0;
  int32_t canvasRequestHeight_ = 0;
  HostBufferRef cachedMatte_;
  MatteKeys matteKeys_{};
  HostBufferRef cachedLightMap_;
  MatteKeys lightMatteKeys_{};
  ShapeKeys lightShapeKeys_{};
  int32_t lightFullWidth_ = 0;
  int32_t lightFullHeight_ = 0;
};

}  // namespace veyra
