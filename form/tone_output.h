// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "sound/tone.h"

namespace wave::form {

// The tone at P through the desktop's sound server (PulseAudio's simple
// API, which PipeWire serves too), on a thread of its own. The stream is
// open only while the tone sounds or fades; where no server answers, the
// window is told once and the program runs on silently.
class ToneOutput {
 public:
  static constexpr int kRate = 48000;

  // `available` runs on `context`'s thread once the server has answered.
  ToneOutput(QObject* context, std::function<void(bool)> available);
  ~ToneOutput();
  ToneOutput(const ToneOutput&) = delete;
  ToneOutput& operator=(const ToneOutput&) = delete;

  void Play(bool on, double level);
  // What the sound server's mixer calls the stream, from its next opening.
  void Name(std::string name);

 private:
  void Run(QObject* context, const std::function<void(bool)>& available);
  bool Sound();  // until off and faded, or the stream fails
  std::string StreamName();

  ToneGenerator tone_{kRate};
  std::mutex mutex_;
  std::condition_variable wake_;
  bool on_ = false, quit_ = false;
  std::string name_ = "sarvel";
  std::thread thread_;
};

}  // namespace wave::form
