// Builds a document from rows as a decoder delivers them. The planes' memory
// is reserved for the header's size but written only as rows arrive, so a
// file whose header claims a large picture but whose data ends early costs
// the rows it really holds, not the picture it claims.
#ifndef VEYRA_APP_DOCUMENTBUILDER_H
#define VEYRA_APP_DOCUMENTBUILDER_H

#include <cstdint>
#include <vector>

#include "app/Document.h"

namespace veyra::app {

class DocumentBuilder {
 public:
  // Throws std::invalid_argument for sizes a Document refuses.
  DocumentBuilder(int width, int height, ColorMode mode, bool alpha);

  int width() const { return width_; }
  // Planes: the colour channels in pixel order, then the alpha.
  int planeCount() const { return static_cast<int>(planes_.size()); }

  // Appends one row of count interleaved samples per pixel to the planes
  // firstPlane .. firstPlane + count - 1. A plane takes at most height rows.
  void addRow(const uint8_t* samples, int count, int firstPlane = 0);

  // The document, once every plane holds every row; throws std::logic_error
  // otherwise.
  Document finish();

 private:
  int width_, height_;
  ColorMode mode_;
  std::vector<std::vector<uint8_t>> planes_;
};

}  // namespace veyra::app

#endif
