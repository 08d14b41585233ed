// Renders the program's 32 x 32 picture at a larger size for the desktop's
// icon theme. Each source pixel becomes a k x k block of the same colour
// index, so the hard pixel edges and the 16-colour palette survive; a
// smoothing filter would blur the speckles into grey mush.
//
//   tolvanix_render_icon SOURCE.png TARGET.png SIZE
#include <QImage>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s SOURCE.png TARGET.png SIZE\n", argv[0]);
    return 2;
  }
  const QImage source(QString::fromLocal8Bit(argv[1]));
  const int size = std::atoi(argv[3]);
  if (source.isNull() || source.width() != source.height()) {
    std::fprintf(stderr, "%s: not a square picture\n", argv[1]);
    return 1;
  }
  if (size < source.width() || size % source.width() != 0) {
    std::fprintf(stderr, "%d is not a whole multiple of %d\n", size, source.width());
    return 1;
  }
  const int factor = size / source.width();

  // The picture is stored with a palette; working on indices keeps it.
  const QImage indexed = source.convertToFormat(QImage::Format_Indexed8);
  QImage target(size, size, QImage::Format_Indexed8);
  target.setColorTable(indexed.colorTable());
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      target.setPixel(x, y, indexed.pixelIndex(x / factor, y / factor));
    }
  }
  if (!target.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
    std::fprintf(stderr, "%s: cannot write\n", argv[2]);
    return 1;
  }
  return 0;
}
