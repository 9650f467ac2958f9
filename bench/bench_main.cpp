// Benchmarks of the control against the platform's own header control
// (SysHeader32), the same work in the same process and run. Prints a table
// of medians with their spread and the ratio control / header, and writes
// it as CSV.
//
//   tessel_bench.exe [--quick] [--csv <file>]
//
// --quick runs every row with few repetitions (the test suite's smoke run).
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "control/interaction_helpers.h"
#include "control/persist_test_support.h"
#include "control_fixture.h"
#include "framework/hosting_helpers.h"
#include "harness.h"
#include "header_control.h"
#include "memory_bag.h"
#include "support/com_test_env.h"

namespace bench {
namespace {

struct Row {
  std::string name;
  Stats control;
  Stats header;
  std::string note;
};

struct Options {
  bool quick = false;
  std::string csv;
};

// A failing step makes every later number meaningless: stop the run.
void check(HRESULT hr, const char* what) {
  if (FAILED(hr)) {
    std::fprintf(stderr, "%s failed: 0x%08lx\n", what, static_cast<unsigned long>(hr));
    std::exit(1);
  }
}

int reps(const Options& o, int full) { return o.quick ? 3 : full; }

constexpr int kWidth = tessel_test::AxHost::kWidth;
constexpr int kHeight = tessel_test::AxHost::kHeight;

void repaint_rows(const Options& o, HWND parent, std::vector<Row>& rows) {
  for (int n : {5, 50, 500}) {
    HostedControl ours(n);
    HeaderControl theirs(parent, kWidth, kHeight);
    for (int i = 1; i <= n; ++i) theirs.add(60, (L"Spalte " + std::to_wstring(i)).c_str());
    tessel_test::Canvas canvas(kWidth, kHeight);
    Row row{"repaint " + std::to_string(n) + " columns", {}, {}, ""};
    row.control = measure(reps(o, 200), 5, nullptr, [&] { ours.control()->DrawTab(); });
    row.header = measure(reps(o, 200), 5, nullptr, [&] { theirs.print(canvas.dc()); });
    rows.push_back(row);
  }
}

// The plain five-column repaint against the same with a megabyte of caption
// in one column, and with a 10000 x 10000 picture in one column (of which
// the 25-pixel strip shows a few rows). The header rows are the header
// control's plain repaint: these ratios say what the content costs.
void heavy_content_rows(const Options& o, HWND parent, std::vector<Row>& rows) {
  HeaderControl theirs(parent, kWidth, kHeight);
  for (int i = 1; i <= 5; ++i) theirs.add(60, (L"Spalte " + std::to_wstring(i)).c_str());
  tessel_test::Canvas canvas(kWidth, kHeight);
  const char* note = "header: its plain repaint of 5 columns";
  {
    HostedControl ours(5);
    std::wstring caption;
    while (caption.size() < (1u << 20)) caption += L"Spalte1";
    BSTR text = SysAllocStringLen(caption.data(), static_cast<UINT>(caption.size()));
    check(ours.control()->put_RowCaption(2, text), "long caption");
    SysFreeString(text);
    Row row{"repaint 5 columns, 1 MB caption", {}, {}, note};
    row.control = measure(reps(o, 200), 5, nullptr, [&] { ours.control()->DrawTab(); });
    row.header = measure(reps(o, 200), 5, nullptr, [&] { theirs.print(canvas.dc()); });
    rows.push_back(row);
  }
  {
    HostedControl ours(5);
    PICTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.picType = PICTYPE_BITMAP;
    description.bmp.hbitmap = CreateBitmap(10000, 10000, 1, 1, nullptr);
    ComPtr<IPictureDisp> picture;
    check(OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE, picture.put_void()),
          "large picture");
    check(ours.control()->putref_RowPicture(2, picture.get()), "RowPicture");
    Row row{"repaint 5 columns, 10000 x 10000 picture", {}, {}, note};
    row.control = measure(reps(o, 200), 5, nullptr, [&] { ours.control()->DrawTab(); });
    row.header = measure(reps(o, 200), 5, nullptr, [&] { theirs.print(canvas.dc()); });
    rows.push_back(row);
  }
}

void mouse_rows(const Options& o, HWND parent, std::vector<Row>& rows) {
  for (int n : {5, 50, 500}) {
    HostedControl ours(n);
    HeaderControl theirs(parent, kWidth, kHeight);
    for (int i = 1; i <= n; ++i) theirs.add(60, (L"Spalte " + std::to_wstring(i)).c_str());
    // The first column is hot; moving within it changes nothing.
    ours.move(20, 10);
    theirs.move(20, 10);
    Row still{"mouse move, no change, " + std::to_string(n) + " columns", {}, {}, ""};
    int dx = 0;
    still.control = measure(reps(o, 500), 10, nullptr, [&] { ours.move(20 + (++dx & 7), 10); });
    still.header = measure(reps(o, 500), 10, nullptr, [&] { theirs.move(20 + (++dx & 7), 10); });
    rows.push_back(still);
    Row hot{"mouse move, hot column changes, " + std::to_string(n) + " columns", {}, {}, ""};
    int side = 0;
    hot.control = measure(reps(o, 200), 5, nullptr, [&] { ours.move((++side & 1) ? 80 : 20, 10); });
    hot.header =
        measure(reps(o, 200), 5, nullptr, [&] { theirs.move((++side & 1) ? 80 : 20, 10); });
    rows.push_back(hot);
  }
}

void add_rows(const Options& o, HWND parent, std::vector<Row>& rows) {
  const int count = o.quick ? 50 : 1000;
  Row row{"add " + std::to_string(count) + " columns one by one", {}, {}, ""};
  std::unique_ptr<HostedControl> ours;
  row.control = measure(
      reps(o, 5), 1,
      [&] {
        ours.reset();
        ours = std::make_unique<HostedControl>(1);
      },
      [&] {
        for (int i = 2; i <= count; ++i) {
          LONG width = 60;
          BSTR text = SysAllocString(L"Spalte");
          IPictureDisp* picture = nullptr;
          LONG index = 0;
          ours->control()->AddRow(&width, &text, &picture, &index);
          SysFreeString(text);
          UpdateWindow(ours->window());
        }
      });
  ours.reset();
  HeaderControl theirs(parent, kWidth, kHeight);
  row.header = measure(
      reps(o, 5), 1,
      [&] {
        theirs.clear();
        theirs.add(60, L"Spalte");
      },
      [&] {
        for (int i = 2; i <= count; ++i) {
          theirs.add(60, L"Spalte");
          UpdateWindow(theirs.window());
        }
      });
  row.note = "control: AddRow and its repaint; header: HDM_INSERTITEM and its repaint";
  rows.push_back(row);
}

void persistence_rows(const Options& o, HWND parent, std::vector<Row>& rows) {
  const int n = 500;
  ComPtr<tessel::_TesselControl> source = new_control();
  add_columns(source.get(), n);
  HeaderControl theirs(parent, kWidth, kHeight);
  for (int i = 1; i <= n; ++i) theirs.add(60, (L"Spalte " + std::to_wstring(i)).c_str());
  const char* note = "header: its items written and read by hand (it has no persistence)";

  // Property bag: the same in-memory bag for both.
  MemoryBag bag;
  auto persist_bag = source.query<IPersistPropertyBag>(IID_IPersistPropertyBag);
  Row save_bag{"save 500 columns, property bag", {}, {}, note};
  save_bag.control = measure(
      reps(o, 50), 2, [&] { bag.clear(); },
      [&] { check(persist_bag->Save(&bag, TRUE, TRUE), "bag save"); });
  MemoryBag their_bag;
  save_bag.header = measure(
      reps(o, 50), 2, [&] { their_bag.clear(); }, [&] { theirs.save(&their_bag); });
  rows.push_back(save_bag);

  Row load_bag{"load 500 columns, property bag", {}, {}, note};
  ComPtr<IPersistPropertyBag> target;
  load_bag.control = measure(
      reps(o, 50), 2,
      [&] { target = new_control(false).query<IPersistPropertyBag>(IID_IPersistPropertyBag); },
      [&] { check(target->Load(&bag, nullptr), "bag load"); });
  target.reset();
  load_bag.header = measure(
      reps(o, 50), 2, [&] { theirs.clear(); }, [&] { theirs.load(&their_bag); });
  rows.push_back(load_bag);

  // Stream.
  Row save_stream{"save 500 columns, stream", {}, {}, note};
  ComPtr<IStream> stream;
  auto persist = source.query<IPersistStreamInit>(IID_IPersistStreamInit);
  save_stream.control = measure(
      reps(o, 50), 2, [&] { stream = tessel_test::new_stream(); },
      [&] { check(persist->Save(stream.get(), TRUE), "stream save"); });
  const std::vector<BYTE> bytes = tessel_test::contents_of(stream.get());
  save_stream.header = measure(
      reps(o, 50), 2, [&] { stream = tessel_test::new_stream(); },
      [&] { theirs.save(stream.get()); });
  rows.push_back(save_stream);
  const std::vector<BYTE> their_bytes = tessel_test::contents_of(stream.get());

  Row load_stream{"load 500 columns, stream", {}, {}, note};
  ComPtr<IPersistStreamInit> loader;
  load_stream.control = measure(
      reps(o, 50), 2,
      [&] {
        stream = tessel_test::stream_of(bytes);
        loader = new_control(false).query<IPersistStreamInit>(IID_IPersistStreamInit);
      },
      [&] { check(loader->Load(stream.get()), "stream load"); });
  load_stream.header = measure(
      reps(o, 50), 2,
      [&] {
        stream = tessel_test::stream_of(their_bytes);
        theirs.clear();
      },
      [&] { theirs.load(stream.get()); });
  rows.push_back(load_stream);
}

void print_table(const std::vector<Row>& rows) {
  std::printf("%-48s %12s %19s %12s %19s %8s\n", "benchmark", "control us", "(p10..p90)",
              "header us", "(p10..p90)", "ratio");
  for (const Row& r : rows) {
    char a[32], b[32];
    std::snprintf(a, sizeof a, "(%.1f..%.1f)", r.control.p10_us, r.control.p90_us);
    std::snprintf(b, sizeof b, "(%.1f..%.1f)", r.header.p10_us, r.header.p90_us);
    const double ratio = r.header.median_us > 0 ? r.control.median_us / r.header.median_us : 0;
    std::printf("%-48s %12.1f %19s %12.1f %19s %8.2f\n", r.name.c_str(), r.control.median_us, a,
                r.header.median_us, b, ratio);
  }
  for (const Row& r : rows) {
    if (!r.note.empty()) std::printf("note (%s): %s\n", r.name.c_str(), r.note.c_str());
  }
  std::printf("ratio: control median / header median (below 1: the control is faster)\n");
}

bool write_csv(const std::string& path, const std::vector<Row>& rows) {
  FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return false;
  std::fprintf(f,
               "benchmark,control_median_us,control_p10_us,control_p90_us,header_median_us,"
               "header_p10_us,header_p90_us,ratio,repetitions\n");
  for (const Row& r : rows) {
    const double ratio = r.header.median_us > 0 ? r.control.median_us / r.header.median_us : 0;
    std::fprintf(f, "\"%s\",%.2f,%.2f,%.2f,%.2f,%.2f,%.2f,%.4f,%d\n", r.name.c_str(),
                 r.control.median_us, r.control.p10_us, r.control.p90_us, r.header.median_us,
                 r.header.p10_us, r.header.p90_us, ratio, r.control.repetitions);
  }
  return std::fclose(f) == 0;
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
  bench::Options options;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--quick") == 0) {
      options.quick = true;
    } else if (std::strcmp(argv[i], "--csv") == 0 && i + 1 < argc) {
      options.csv = argv[++i];
    } else {
      std::fprintf(stderr, "usage: tessel_bench [--quick] [--csv <file>]\n");
      return 2;
    }
  }
  tessel_test::ensure_registered();
  std::vector<bench::Row> rows;
  {
    tessel_test::TestFrame frame;
    bench::repaint_rows(options, frame.handle(), rows);
    bench::heavy_content_rows(options, frame.handle(), rows);
    bench::mouse_rows(options, frame.handle(), rows);
    bench::add_rows(options, frame.handle(), rows);
    bench::persistence_rows(options, frame.handle(), rows);
  }
  bench::print_table(rows);
  if (!options.csv.empty() && !bench::write_csv(options.csv, rows)) {
    std::fprintf(stderr, "cannot write %s\n", options.csv.c_str());
    return 1;
  }
  for (const bench::Row& r : rows) {
    if (r.control.repetitions == 0 || r.header.repetitions == 0) return 1;
  }
  return 0;
}
