// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/program.h"

#include <unistd.h>
#include <QApplication>
#include <QByteArray>
#include <QElapsedTimer>
#include <QIcon>
#include <QLocale>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string_view>

#include "form/form_fonts.h"

namespace wave::form {
namespace {

const char* g_programName = "";
bool g_started = false;

// Until the application is up, Qt's complaints about the display are
// replaced by one line of our own; a fatal one ends without a core dump.
void StartupMessages(QtMsgType type, const QMessageLogContext&,
                     const QString& message) {
  if (type == QtFatalMsg) {
    if (!g_started) {
      const QByteArray display = qgetenv("DISPLAY");
      std::fprintf(stderr, "%s: cannot open the display%s%s\n", g_programName,
                   display.isEmpty() ? "" : " ", display.constData());
    } else {
      std::fprintf(stderr, "%s: %s\n", g_programName,
                   message.toLocal8Bit().constData());
    }
    std::fflush(stderr);
    _exit(1);
  }
  if (g_started) {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  }
}

bool NeedsXDisplay() {
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  return platform.isEmpty() || platform.startsWith("xcb");
}

QIcon ProgramIcon() {
  QIcon icon;
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/icons/sarvel-%1.png").arg(size),
                 QSize(size, size));
  }
  return icon;
}

// LANGUAGE's list first, as gettext reads it, then the locale's own.
std::vector<std::string> DesktopLanguages() {
  std::vector<std::string> languages;
  const QString list = qEnvironmentVariable("LANGUAGE");
  for (const QString& l : list.split(u':', Qt::SkipEmptyParts)) {
    languages.push_back(l.toStdString());
  }
  for (const QString& l : QLocale::system().uiLanguages()) {
    languages.push_back(l.toStdString());
  }
  return languages;
}

}  // namespace

int RunProgram(int argc, char** argv, const char* programName,
               const char* desktopId, const CreateWindow& createWindow) {
  g_programName = programName;
  bool check = false;
  std::vector<std::string> languages;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--version") {
      std::printf("%s %s\n", programName, SARVEL_VERSION);
      return 0;
    }
    if (arg == "--check") check = true;
    if (arg.rfind("--lang=", 0) == 0) {
      languages = {std::string(arg.substr(std::string_view("--lang=").size()))};
    }
  }
  if (NeedsXDisplay() && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    std::fprintf(stderr, "%s: cannot open a display: DISPLAY is not set\n",
                 programName);
    return 1;
  }
  qInstallMessageHandler(StartupMessages);
  QApplication app(argc, argv);
  g_started = true;
  qInstallMessageHandler(nullptr);
  QApplication::setApplicationName(QString::fromUtf8(programName));
  QGuiApplication::setDesktopFileName(QString::fromUtf8(desktopId));
  QApplication::setWindowIcon(ProgramIcon());
  InstallFontSubstitutes();

  if (languages.empty()) languages = DesktopLanguages();
  std::unique_ptr<QWidget> window;
  try {
    window = createWindow(languages);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", programName, e.what());
    return 1;
  }
  window->show();
  if (check) {
    // The window is on screen once its platform window is exposed; give it
    // a few seconds.
    auto* poll = new QTimer(window.get());
    QElapsedTimer waited;
    waited.start();
    QObject::connect(
        poll, &QTimer::timeout, [&window, poll, waited, programName] {
          QWindow* handle = window->windowHandle();
          const bool shown = handle != nullptr && handle->isExposed();
          if (!shown && waited.elapsed() < 5000) return;
          poll->stop();
          const qreal scale = window->devicePixelRatioF();
          const QString scaled =
              scale == 1 ? QString()
                         : QStringLiteral(" at scale %1").arg(scale);
          std::printf("%s: window \"%s\" %dx%d %s%s\n", programName,
                      window->windowTitle().toUtf8().constData(),
                      window->width(), window->height(),
                      shown ? "shown" : "not shown",
                      scaled.toUtf8().constData());
          std::fflush(stdout);
          QApplication::exit(shown ? 0 : 1);
        });
    poll->start(20);
  }
  return QApplication::exec();
}

}  // namespace wave::form
