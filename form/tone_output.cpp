// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/tone_output.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <QMetaObject>
#include <array>
#include <memory>
#include <string>

namespace wave::form {
namespace {

struct Close {
  void operator()(pa_simple* s) const { pa_simple_free(s); }
};
using Stream = std::unique_ptr<pa_simple, Close>;

// A short buffer, so that the tone follows P within a few blocks.
constexpr int kBlock = 240;  // samples
constexpr int kBufferedMs = 30;

Stream Open(const std::string& name) {
  const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, ToneOutput::kRate, 1};
  pa_buffer_attr buffer;
  buffer.maxlength = static_cast<std::uint32_t>(-1);
  buffer.tlength = static_cast<std::uint32_t>(
      sizeof(float) * ToneOutput::kRate * kBufferedMs / 1000);
  buffer.prebuf = static_cast<std::uint32_t>(-1);
  buffer.minreq = static_cast<std::uint32_t>(-1);
  buffer.fragsize = static_cast<std::uint32_t>(-1);
  int error = 0;
  return Stream(pa_simple_new(nullptr, "sarvel", PA_STREAM_PLAYBACK, nullptr,
                              name.c_str(), &format, nullptr, &buffer, &error));
}

}  // namespace

ToneOutput::ToneOutput(QObject* context, std::function<void(bool)> available)
    : thread_([this, context, available = std::move(available)] {
        Run(context, available);
      }) {}

ToneOutput::~ToneOutput() {
  {
    const std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void ToneOutput::Name(std::string name) {
  const std::lock_guard lock(mutex_);
  name_ = std::move(name);
}

std::string ToneOutput::StreamName() {
  const std::lock_guard lock(mutex_);
  return name_;
}

void ToneOutput::Play(bool on, double level) {
  tone_.SetLevel(on ? level : 0);
  {
    const std::lock_guard lock(mutex_);
    on_ = on;
  }
  wake_.notify_all();
}

void ToneOutput::Run(QObject* context,
                     const std::function<void(bool)>& available) {
  // Asked once, at the start: a server that is there answers at once.
  const auto tell = [&](bool answered) {
    QMetaObject::invokeMethod(
        context, [available, answered] { available(answered); },
        Qt::QueuedConnection);
  };
  if (Open(StreamName()) == nullptr) return tell(false);
  tell(true);
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return on_ || quit_; });
      if (quit_) return;
    }
    if (!Sound()) return tell(false);  // the server went away
  }
}

bool ToneOutput::Sound() {
  const Stream stream = Open(StreamName());
  if (!stream) return false;
  std::array<float, kBlock> block;
  for (;;) {
    {
      const std::lock_guard lock(mutex_);
      if (quit_ || (!on_ && tone_.Silent())) break;
    }
    tone_.Fill(block.data(), block.size());
    int error = 0;
    if (pa_simple_write(stream.get(), block.data(), sizeof block, &error) < 0) {
      return false;
    }
  }
  int error = 0;
  pa_simple_drain(stream.get(), &error);
  return true;
}

}  // namespace wave::form
