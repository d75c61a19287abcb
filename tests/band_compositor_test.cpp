// SPDX-License-Identifier: GPL-3.0-or-later
// Shapes laid band by band, by any number of workers, against the same
// shapes laid one after the other on the whole buffer.
#include "raster/compose/band_compositor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "raster/compose/worker_pool.h"
#include "raster/scan/ring_raster.h"
#include "raster/scan/segment_batch.h"
#include "tests/row_name.h"

namespace wave {
namespace {

enum class Start { AsIs, Filled, Copied };

struct Row {
  const char* name;
  int width, height;  // from 1,048,576 pixels on, the buffer goes in bands
  int workers;
  Start start;
  bool families = false;  // rings about two centres, closer than their pens
  bool halted = false;    // halted at the end, some rows then left out
  // Lines first, the layer they make kept as the bands are laid; and, when
  // halted, pixels of a mask the rings need not reach.
  bool lines = false;
  // Rows left out while nothing runs, then covered whole by what is queued
  // next: that, and what follows it, is still laid there.
  bool covered = false;
  // When halted: not halted, rows left out and pixels hidden as the run
  // goes on; or only asked to halt, the queue touched before it has.
  bool inFlight = false;
  bool asked = false;
};

const Row kRows[] = {
    {"bands-one-worker", 1200, 900, 1, Start::Copied},
    {"bands-two-workers", 1200, 900, 2, Start::Copied},
    {"bands-three-workers-filled", 1200, 900, 3, Start::Filled},
    {"bands-five-workers-as-is", 1100, 1000, 5, Start::AsIs},
    {"tall-and-narrow", 130, 8200, 2, Start::Filled},
    {"small-in-order", 300, 200, 2, Start::Copied},
    // Each ring is mostly under later ones about its centre and is drawn
    // only where it can be seen.
    {"dense-families-in-bands", 1200, 900, 2, Start::Filled, true},
    {"dense-families-small", 300, 200, 2, Start::Copied, true},
    // What comes next covers some rows whole: the bands not yet laid when
    // the run is halted leave them out, and only them.
    {"halted-rows-left-out", 1200, 900, 2, Start::Copied, false, true},
    {"dense-families-halted", 1200, 900, 3, Start::Filled, true, true},
    {"halted-small", 300, 200, 2, Start::AsIs, false, true},
    {"lines-kept-in-bands", 1200, 900, 2, Start::Filled, false, false, true},
    {"lines-kept-in-order", 300, 200, 2, Start::Copied, false, false, true},
    {"lines-halted-rings-hidden", 1200, 900, 3, Start::Filled, true, true,
     true},
    {"covered-rows-left-out", 1200, 900, 2, Start::Copied, false, false, false,
     true},
    {"covered-rows-lines-kept", 1200, 900, 2, Start::Filled, false, false, true,
     true},
    {"occluded-in-flight", 1200, 900, 2, Start::Filled, true, true, true, false,
     true},
    {"occluded-in-flight-three", 1200, 900, 3, Start::Copied, false, true,
     false, false, true},
    {"asked-to-halt", 1200, 900, 2, Start::Filled, true, true, true, false,
     false, true},
};

// Full coverage of every pixel of the rows given.
CoverageRuns RowsWhole(const std::vector<std::uint8_t>& rows, int width) {
  CoverageRuns whole;
  const int padded = (width + 7) / 8 * 8;
  for (std::size_t y = 0; y < rows.size(); ++y) {
    if (rows[y] == 0) continue;
    whole.spans.push_back({static_cast<int>(y), 0, width,
                           static_cast<std::uint32_t>(whole.levels.size())});
    whole.levels.insert(whole.levels.end(), static_cast<std::size_t>(width),
                        255);
    whole.levels.resize(whole.levels.size() + (padded - width), 0);
  }
  whole.levels.resize(whole.levels.size() + 8, 0);
  return whole;
}

// Segments across the buffer, in two batches of their own colours.
void AddLines(SegmentBatch& batch, int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> unit(-0.1, 1.1);
  batch.Fit(width, height);
  for (int i = 0; i < 300; ++i) {
    batch.AddSegment(unit(random) * width, unit(random) * height,
                     unit(random) * width, unit(random) * height,
                     1 + 6 * (unit(random) + 0.1));
  }
}

// Cells with random bits, some whole, some empty, and a disc of whole
// cells, in which the rings' arcs are passed over band by band.
std::vector<std::uint64_t> RandomCells(int cellsX, int cellsY) {
  std::mt19937_64 random(9);
  std::vector<std::uint64_t> cells(static_cast<std::size_t>(cellsX) * cellsY);
  for (int y = 0; y < cellsY; ++y) {
    for (int x = 0; x < cellsX; ++x) {
      const auto kind = random() % 4;
      const double dx = x - 0.35 * cellsX, dy = y - 0.5 * cellsY;
      const bool blob = dx * dx + dy * dy < 0.1 * cellsX * cellsX;
      cells[static_cast<std::size_t>(y) * cellsX + x] =
          blob || kind == 0 ? ~std::uint64_t{0}
          : kind == 1       ? 0
                            : random() & random();
    }
  }
  return cells;
}

// Rows in runs of 1 to 40, every other run left out.
std::vector<std::uint8_t> LeftOut(int height) {
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(height));
  std::mt19937 random(7);
  bool out = false;
  for (int y = 0; y < height;) {
    const int run = 1 + static_cast<int>(random() % 40);
    for (int i = 0; i < run && y < height; ++i) rows[y++] = out;
    out = !out;
  }
  return rows;
}

struct Shape {
  bool queued;  // a ring covered by the workers, or coverage kept
  double cx, cy, radius, pen;
  std::uint32_t rgb;
  int dx, dy;
};

// Fronts of two sources interleaved, outermost first, then the crests of
// each, as a dense frame draws them; some kept, some scanned.
std::vector<Shape> Families(int width, int height) {
  std::vector<Shape> shapes;
  const double centres[2][2] = {{0.3 * width, 0.4 * height},
                                {0.55 * width, 0.4 * height}};
  const double step = 1.7, pen = 4;
  const std::uint32_t colours[4] = {0xFFFF00, 0xFF20FF, 0xFF0000, 0x0000FF};
  int n = 0;
  for (double r = 0.9 * width; r > 0; r -= step) {
    for (int c = 0; c < 2; ++c) {
      shapes.push_back({n++ % 5 != 0, centres[c][0], centres[c][1], r, pen,
                        colours[c], 0, 0});
    }
  }
  for (int c = 0; c < 2; ++c) {
    for (double r = 0.9 * width; r > 0; r -= 2 * step) {
      shapes.push_back({n++ % 5 != 0, centres[c][0], centres[c][1], r, pen - c,
                        colours[2 + c], 0, 0});
    }
  }
  return shapes;
}

std::vector<Shape> Shapes(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> unit(0, 1);
  std::vector<Shape> shapes;
  for (int i = 0; i < 240; ++i) {
    Shape s;
    s.queued = i % 3 != 0;
    s.cx = (unit(random) * 1.4 - 0.2) * width;
    s.cy = (unit(random) * 1.4 - 0.2) * height;
    s.radius = i % 7 == 0 ? 3 + unit(random) * 30 : unit(random) * 2 * height;
    s.pen = 1 + unit(random) * 8;
    s.rgb = static_cast<std::uint32_t>(random()) & 0xFFFFFFu;
    s.dx = s.queued ? 0 : static_cast<int>(unit(random) * 80) - 40;
    s.dy = s.queued ? 0 : static_cast<int>(unit(random) * 80) - 40;
    shapes.push_back(s);
  }
  return shapes;
}

using Pixels = std::vector<std::uint32_t>;

PixelBuffer BufferOf(Pixels& pixels, const Row& row) {
  return {pixels.data(), row.width, row.height, row.width};
}

class BandCompositorTest : public ::testing::TestWithParam<Row> {};

TEST_P(BandCompositorTest, LaysWhatOneAfterTheOtherLays) {
  const Row& row = GetParam();
  const auto size = static_cast<std::size_t>(row.width) * row.height;
  Pixels before(size), layer(size);
  std::mt19937 random(11);
  for (auto& p : before) p = 0xFF000000u | (random() & 0xFFFFFFu);
  // A layer of one colour with lines of others across it.
  const std::uint32_t layerBackground = 0xFFF0F0F0u;
  for (auto& p : layer) {
    p = random() % 5 == 0 ? 0xFF000000u | (random() & 0xFFFFFFu)
                          : layerBackground;
  }
  SparseImage sparse;
  sparse.Keep(BufferOf(layer, row), layerBackground);
  const std::uint32_t fill = 0x10F0E0;

  Pixels expected = before;
  PixelBuffer out = BufferOf(expected, row);
  WorkerPool pool0(1);
  if (row.start == Start::Filled) expected.assign(size, 0xFF000000u | fill);
  if (row.start == Start::Copied) expected = layer;
  // A ring queued before a start is covered by it; with none, it stays.
  const Shape first{
      true, row.width / 2.0, row.height / 2.0, row.height / 3.0, 9, 0, 0, 0};
  if (row.start == Start::AsIs) {
    StrokeRing(out, first.cx, first.cy, first.radius, first.pen, first.rgb);
  }
  const std::vector<Shape> shapes = row.families
                                        ? Families(row.width, row.height)
                                        : Shapes(row.width, row.height, 5);
  // Lines over the start, and the layer they make, before the rings.
  SegmentBatch lines[2];
  Pixels layerExpected;
  if (row.lines) {
    for (int i = 0; i < 2; ++i) {
      AddLines(lines[i], row.width, row.height, 21 + i);
      lines[i].Composite(out, 0x30A0F0u * (i + 1), pool0);
      AddLines(lines[i], row.width, row.height, 21 + i);  // again, to queue
    }
    layerExpected = expected;
  }
  std::deque<CoverageRuns> kept;  // stays put while the queue points at it
  const auto layAll = [&](const std::vector<Shape>& all) {
    for (const Shape& s : all) {
      if (s.queued) {
        StrokeRing(out, s.cx, s.cy, s.radius, s.pen, s.rgb);
      } else {
        CoverRing(row.width, row.height, s.cx, s.cy, s.radius, s.pen,
                  kept.emplace_back());
        LayCoverage(out, kept.back(), s.rgb, s.dx, s.dy);
      }
    }
  };
  layAll(shapes);
  std::vector<Shape> after;
  CoverageRuns whole;
  if (row.covered) {
    whole = RowsWhole(LeftOut(row.height), row.width);
    LayCoverage(out, whole, 0x123456u);
    after = Shapes(row.width, row.height, 6);
    after.resize(30);
    layAll(after);
  }

  Pixels laid = before;
  WorkerPool pool(row.workers);
  BandCompositor queue(pool);
  queue.LayRing(first.cx, first.cy, first.radius, first.pen, first.rgb);
  if (row.start == Start::Filled) queue.StartFilled(fill);
  if (row.start == Start::Copied) queue.StartCopied(sparse);
  SparseImage layerKept;
  if (row.lines) {
    queue.LaySegments(lines[0], 0x30A0F0u);
    queue.LaySegments(lines[1], 0x30A0F0u * 2);
    layerKept.Begin(row.width, row.height, 0xFF000000u | fill);
    EXPECT_TRUE(queue.KeepHere(layerKept));
  }
  std::size_t k = 0;
  const auto queueKept = [&](const Shape& s) {
    if (row.families) {
      queue.LayKept(kept[k++], s.cx, s.cy, s.radius, s.pen, s.rgb);
    } else {
      queue.Lay(kept[k++], s.rgb, s.dx, s.dy);
    }
  };
  bool launched = false;
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    const Shape& s = shapes[i];
    // Begun in the background half way, before kept coverage,
    // where that pays: the shapes queued after must wait for it and come
    // after it.
    // (Not with a layer to keep: landed at the next shape, it would keep it
    // there.)
    if (!row.lines && !launched && i >= shapes.size() / 2 && !s.queued) {
      queue.Launch(BufferOf(laid, row));
      launched = true;
    }
    if (s.queued) {
      queue.LayRing(s.cx, s.cy, s.radius, s.pen, s.rgb);
    } else {
      queueKept(s);
    }
  }
  if (row.covered) {
    queue.Occlude(LeftOut(row.height), nullptr);
    queue.Lay(whole, 0x123456u);
    for (const Shape& s : after) {
      if (s.queued) {
        queue.LayRing(s.cx, s.cy, s.radius, s.pen, s.rgb);
      } else {
        queueKept(s);
      }
    }
  }
  const int cellsX = (row.width + 7) / 8, cellsY = (row.height + 7) / 8;
  const std::vector<std::uint64_t> cells = RandomCells(cellsX, cellsY);
  const CellMask hidden{cells.data(), cellsX, cellsY};
  std::vector<std::uint8_t> leftOut;
  if (row.halted) {
    // Launched again with everything queued, and halted at once, or not:
    // most bands are still to lay.
    queue.Launch(BufferOf(laid, row));
    if (row.asked) {
      queue.AskToHalt();
    } else if (!row.inFlight) {
      queue.Halt();
    }
    leftOut = LeftOut(row.height);
    queue.Occlude(leftOut, row.lines ? &hidden : nullptr);
  }
  queue.Run(BufferOf(laid, row));
  EXPECT_FALSE(queue.pending());

  std::size_t differ = 0;
  for (std::size_t i = 0; i < size; ++i) {
    const auto y = static_cast<int>(i / static_cast<std::size_t>(row.width));
    const auto x = static_cast<int>(i % static_cast<std::size_t>(row.width));
    // Anything may be left where nothing need be laid.
    if (y < static_cast<int>(leftOut.size()) && leftOut[y]) continue;
    const std::uint64_t cell =
        cells[static_cast<std::size_t>(y / 8 * cellsX + x / 8)];
    if (row.halted && row.lines && ((cell >> (y % 8 * 8 + x % 8)) & 1)) {
      continue;
    }
    differ += laid[i] != expected[i];
  }
  EXPECT_EQ(differ, 0u);
  if (row.lines) {
    Pixels copied(size);
    layerKept.CopyRows(BufferOf(copied, row), 0, row.height);
    std::size_t layerDiffer = 0, rowsMissing = 0;
    const std::vector<std::uint8_t> skipped = LeftOut(row.height);
    for (int y = 0; y < row.height; ++y) {
      // Only rows left out may be missing from it: they are drawn again.
      const bool out = (row.halted || row.covered) && skipped[y];
      if (!layerKept.kept(y)) {
        ++rowsMissing;
        EXPECT_TRUE(out) << "row " << y << " not kept";
        continue;
      }
      for (int x = 0; x < row.width; ++x) {
        const std::size_t i = static_cast<std::size_t>(y) * row.width + x;
        layerDiffer += copied[i] != layerExpected[i];
      }
    }
    EXPECT_EQ(layerKept.complete(), rowsMissing == 0);
    // Nothing ran before the rows were left out: none of them is kept.
    if (row.covered) {
      EXPECT_GT(rowsMissing, 0u);
    }
    EXPECT_EQ(layerDiffer, 0u) << "the layer kept";
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, BandCompositorTest, ::testing::ValuesIn(kRows),
                         testing::RowName());

// A layer is kept only whole: a queue emptied unlaid would leave old rows
// in it for the next frame to copy; rows left out still make it.
TEST(BandCompositorKeepTest, KeepsTheLayerWholeOrInPartOrNotAtAll) {
  const int width = 1200, height = 900;
  Pixels pixels(static_cast<std::size_t>(width) * height);
  const PixelBuffer out{pixels.data(), width, height, width};
  WorkerPool pool(2);
  enum { kWhole, kRowLeftOut, kDiscarded };
  for (const int how : {kWhole, kRowLeftOut, kDiscarded}) {
    BandCompositor queue(pool);
    SegmentBatch lines;
    AddLines(lines, width, height, 5);
    queue.StartFilled(0x102030);
    queue.LaySegments(lines, 0xFFFF00);
    SparseImage layer;
    layer.Begin(width, height, 0xFF102030u);
    ASSERT_TRUE(queue.KeepHere(layer));
    for (int i = 0; i < 40; ++i)
      queue.LayRing(600, 450, 10 + 9 * i, 3, 0x00FF00);
    if (how == kDiscarded) {
      queue.Discard();
      EXPECT_EQ(layer.width(), 0) << "discarded";
      continue;
    }
    if (how == kRowLeftOut) {
      std::vector<std::uint8_t> rows(height, 0);
      rows[height / 2] = 1;
      queue.Occlude(rows, nullptr);
    }
    queue.Run(out);
    EXPECT_EQ(layer.width(), width);
    EXPECT_EQ(layer.complete(), how == kWhole);
    EXPECT_EQ(layer.kept(height / 2), how == kWhole);
  }
}

}  // namespace
}  // namespace wave
