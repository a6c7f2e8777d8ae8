#include "simulator/program/rehearsal.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <cstdio>

#include "app/notes_form.h"
#include "app/texts.h"
#include "app/updater_form.h"
#include "platform/forms/qt/qt_widgets.h"
#include "platform/ticks/ticks.h"
#include "sequencer/messages.h"
#include "sequencer/sequencer.h"
#include "simulator/program/arguments.h"
#include "simulator/program/status_text.h"

namespace simprog {
namespace {

constexpr std::uint32_t kPollMs = 50;
constexpr std::uint32_t kSuccessState = 20;

// A click as the user makes it: on the widget, through the toolkit's own path.
void Press(const TButton& button) {
  if (auto* widget = qobject_cast<QAbstractButton*>(forms::WidgetOf(button))) widget->click();
}

// A code page 1252 message on one line of the terminal, its lines joined by " / ".
std::string OneLine(const std::string& cp1252) {
  QStringList lines = forms::ToQString(cp1252).split(QChar('\n'), Qt::SkipEmptyParts);
  for (QString& line : lines) line = line.trimmed();
  lines.removeAll(QString());
  return lines.join(" / ").toStdString();
}

bool Updated() { return UpdateState == kSuccessState && !Updater->Timer1->Enabled(); }

}  // namespace

Rehearsal::Rehearsal(const Plan& plan, DeviceWindow& window, sim::Velka& velka, After after)
    : plan_(plan), window_(window), velka_(velka), after_(std::move(after)) {}

void Rehearsal::Begin() {
  begin_us_ = ticks::Current().NowUs();
  after_(kPollMs, [this] { Poll(); });
}

void Rehearsal::Poll() {
  if (stage_ == Stage::kDone) return;
  Step();
  if (stage_ != Stage::kDone) after_(kPollMs, [this] { Poll(); });
}

void Rehearsal::Step() {
  const std::uint64_t now = ticks::Current().NowUs();
  if (now - begin_us_ > std::uint64_t{plan_.time_limit_ms} * 1000) {
    if (Updater != nullptr) {
      Finish(kExitTimeLimit, "time limit reached");
    } else {
      // Still in the release-notes window, or the updater never came up.
      Say("time limit reached before the main window showed");
      exit_code_ = kExitTimeLimit;
      stage_ = Stage::kDone;
      if (RTFM != nullptr) RTFM->Close();
    }
    return;
  }
  for (std::size_t i = 0; i < pending_.size();) {
    if (pending_[i].due_us > now) {
      ++i;
      continue;
    }
    const Pending due = std::move(pending_[i]);
    pending_.erase(pending_.begin() + static_cast<std::ptrdiff_t>(i));
    Say(due.what);
    due.action();
  }
  window_.Refresh();

  switch (stage_) {
    case Stage::kNotes:
      if (RTFM != nullptr && RTFM->Visible()) {
        Say("OK in the release notes");
        Press(*RTFM->Button1);
        stage_ = Stage::kStart;
      }
      return;
    case Stage::kStart:
      if (Updater != nullptr && Updater->Visible() && (RTFM == nullptr || !RTFM->Visible())) {
        Say("START");
        Press(*Updater->btStart);
        last_label_ = Updater->lbInfo->Caption();
        stage_ = Stage::kRunning;
      }
      return;
    case Stage::kRunning: {
      if (Updated()) {
        const sim::Status status = velka_.GetStatus();
        const bool agrees = !velka_.FlashDifference() && status.violations == 0;
        Finish(agrees ? kExitUpdated : kExitDeviceDisagrees,
               agrees ? "updated" : "updated, but the device disagrees");
        return;
      }
      if (UpdateState == 0 && Updater->btStart->Caption() == kStartCaption) {
        Finish(kExitUpdateFailed, "the update failed");
        return;
      }
      if (plan_.stop_after_chunks > 0 &&
          velka_.GetStatus().chunks_received >= plan_.stop_after_chunks) {
        Say("STOP after " + std::to_string(plan_.stop_after_chunks) + " loader chunks");
        Press(*Updater->btStart);
        Finish(kExitStopped, "stopped");
        return;
      }
      const std::string& label = Updater->lbInfo->Caption();
      if (label != last_label_) {
        last_label_ = label;
        Answer(label);
      }
      return;
    }
    case Stage::kDone:
      return;
  }
}

void Rehearsal::Answer(const std::string& prompt) {
  // A person takes a moment to react; each prompt is answered once, when it first shows.
  if (prompt == kAdapterNotFoundPrompt) {
    Later(500, "adapter plugged in", [this] { window_.SetAdapterPlugged(true); });
  } else if (prompt == kPowerOnPrompt) {
    Later(300, "power on", [this] { window_.SetPower(true); });
  } else if (prompt == kPowerCyclePrompt) {
    Later(300, "power off", [this] { window_.SetPower(false); });
    Later(1300, "power on", [this] { window_.SetPower(true); });
  }
}

void Rehearsal::Later(std::uint32_t ms, std::string what, std::function<void()> action) {
  pending_.push_back(
      {ticks::Current().NowUs() + std::uint64_t{ms} * 1000, std::move(what), std::move(action)});
}

void Rehearsal::Finish(int exit_code, const std::string& why) {
  stage_ = Stage::kDone;
  exit_code_ = exit_code;
  window_.Refresh();
  const sim::Status status = velka_.GetStatus();
  std::string last_violation;
  if (status.violations > 0) last_violation = velka_.Violations().back().text;
  Say(why);
  std::printf("updater: %s\n", OneLine(Updater->lbInfo->Caption()).c_str());
  std::printf("device: phase %s; line %s; chunks %s; pages %s; violations %s\n",
              PhaseText(status).c_str(), LineText(status).c_str(), ChunksText(status).c_str(),
              PagesText(status).c_str(), ViolationsText(status, last_violation).c_str());
  std::printf("verdict: %s\n", VerdictText(velka_.FlashDifference()).c_str());
  const QRect main = forms::WidgetOf(*Updater)->frameGeometry();
  const QRect own = window_.frameGeometry();
  std::printf("windows: updater %d,%d %dx%d; device %d,%d %dx%d\n", main.x(), main.y(),
              main.width(), main.height(), own.x(), own.y(), own.width(), own.height());
  std::fflush(stdout);
  if (!plan_.screenshot_dir.empty()) SaveScreenshots();

  if (Updater->btStart->Caption() == kQuitCaption) {
    Say("QUIT");
    Press(*Updater->btStart);
  } else {
    Say("closing the main window");
    forms::WidgetOf(*Updater)->close();
  }
}

void Rehearsal::SaveScreenshots() {
  // Layouts catch up with the last texts before the windows are drawn.
  QCoreApplication::sendPostedEvents();
  const QString dir = QString::fromStdString(plan_.screenshot_dir);
  QDir().mkpath(dir);
  const QString updater = dir + "/updater.png";
  const QString device = dir + "/device.png";
  const bool saved =
      forms::WidgetOf(*Updater)->grab().save(updater, "PNG") && window_.grab().save(device, "PNG");
  std::printf("screenshots: %s %s%s\n", updater.toStdString().c_str(), device.toStdString().c_str(),
              saved ? "" : " (could not be saved)");
  std::fflush(stdout);
}

void Rehearsal::Say(const std::string& text) const {
  const double seconds = static_cast<double>(ticks::Current().NowUs() - begin_us_) / 1e6;
  std::printf("[%8.3f s] %s\n", seconds, text.c_str());
  std::fflush(stdout);
}

}  // namespace simprog
