#include "simulator/program/device_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/updater_form.h"
#include "platform/forms/qt/qt_widgets.h"
#include "simulator/program/fault_names.h"
#include "simulator/program/placement.h"
#include "simulator/program/scenarios.h"
#include "simulator/program/status_text.h"

namespace simprog {
namespace {

constexpr int kRefreshMs = 150;
constexpr int kWidth = 380;

QString Text(const std::string& text) { return QString::fromStdString(text); }

QLabel* ValueLabel() {
  auto* label = new QLabel();
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

QString HexByte(std::uint8_t value) {
  return QStringLiteral("0x%1").arg(value, 2, 16, QChar('0')).toUpper().replace("0X", "0x");
}

}  // namespace

DeviceWindow::DeviceWindow(sim::Velka& velka) : velka_(velka) {
  setWindowTitle("Simulated Velka");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(MakeAdapterBox());
  layout->addWidget(MakeDeviceBox());
  layout->addWidget(MakeFaultBox());
  layout->addWidget(MakeSeenBox());
  layout->addStretch();

  StepChosen();
  ShowArmed();
  Refresh();
  // Room for a two-line verdict and violation, so that the window never changes size.
  verdict_->setMinimumHeight(3 * fontMetrics().lineSpacing());
  violations_->setMinimumHeight(2 * fontMetrics().lineSpacing());
  setFixedSize(kWidth, sizeHint().height());

  refresh_.setInterval(kRefreshMs);
  connect(&refresh_, &QTimer::timeout, this, &DeviceWindow::Refresh);
  refresh_.start();
}

QWidget* DeviceWindow::MakeAdapterBox() {
  auto* box = new QGroupBox("Update adapter");
  auto* layout = new QFormLayout(box);
  plugged_ = new QCheckBox("plugged in");
  plugged_->setChecked(velka_.GetStatus().adapter_plugged);
  connect(plugged_, &QCheckBox::toggled, this, [this](bool on) {
    velka_.PlugAdapter(on);
    Refresh();
  });
  open_fault_ = new QComboBox();
  open_fault_->addItem("answers normally", static_cast<int>(sim::OpenFault::kNone));
  open_fault_->addItem("in use by another program", static_cast<int>(sim::OpenFault::kInUse));
  open_fault_->addItem("reports another description",
                       static_cast<int>(sim::OpenFault::kOtherDescription));
  connect(open_fault_, &QComboBox::currentIndexChanged, this, [this] {
    velka_.SetOpenFault(static_cast<sim::OpenFault>(open_fault_->currentData().toInt()));
  });
  layout->addRow(plugged_);
  layout->addRow("When opened:", open_fault_);
  return box;
}

QWidget* DeviceWindow::MakeDeviceBox() {
  auto* box = new QGroupBox("Velka");
  auto* layout = new QFormLayout(box);
  power_ = new QPushButton();
  power_->setCheckable(true);
  connect(power_, &QPushButton::toggled, this, [this](bool on) {
    velka_.SetPower(on);
    ShowPower();
    Refresh();
  });
  scenario_ = new QComboBox();
  for (const ScenarioName& s : ScenarioNames()) scenario_->addItem(s.label);
  connect(scenario_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index >= 0) velka_.SetScenario(ScenarioNames()[static_cast<std::size_t>(index)].scenario);
  });
  ShowPower();
  layout->addRow("Power:", power_);
  layout->addRow("Device needs:", scenario_);
  return box;
}

QWidget* DeviceWindow::MakeFaultBox() {
  auto* box = new QGroupBox("Fault for the next update");
  auto* layout = new QFormLayout(box);

  step_ = new QComboBox();
  for (const StepName& s : StepNames()) {
    // The description without its number: "chunk 0" becomes "chunk".
    std::string label = sim::Describe(sim::StepRef{s.step});
    if (s.last_index > 0) label = label.substr(0, label.find_first_of("#0123456789") - 1);
    if (s.banked) label = "page of bank";
    step_->addItem(Text(label));
  }
  index_ = new QSpinBox();
  bank_ = new QComboBox();
  for (std::uint8_t bank : Banks()) bank_->addItem(HexByte(bank), bank);
  auto* where = new QHBoxLayout();
  where->addWidget(step_, 1);
  where->addWidget(index_);
  where->addWidget(bank_);
  connect(step_, &QComboBox::currentIndexChanged, this, &DeviceWindow::StepChosen);
  connect(bank_, &QComboBox::currentIndexChanged, this, &DeviceWindow::StepChosen);

  kind_ = new QComboBox();
  for (const KindName& k : KindNames()) kind_->addItem(Text(sim::Describe(k.kind)));
  every_time_ = new QCheckBox("every time");

  auto* arm = new QPushButton("Arm");
  auto* disarm = new QPushButton("Disarm all");
  connect(arm, &QPushButton::clicked, this, &DeviceWindow::ArmChosenFault);
  connect(disarm, &QPushButton::clicked, this, [this] {
    velka_.DisarmAll();
    armed_.clear();
    ShowArmed();
  });
  auto* buttons = new QHBoxLayout();
  buttons->addWidget(every_time_);
  buttons->addStretch();
  buttons->addWidget(arm);
  buttons->addWidget(disarm);

  armed_list_ = ValueLabel();
  layout->addRow("Step:", where);
  layout->addRow("Kind:", kind_);
  layout->addRow(buttons);
  layout->addRow("Armed:", armed_list_);
  return box;
}

QWidget* DeviceWindow::MakeSeenBox() {
  auto* box = new QGroupBox("What the device has seen");
  auto* layout = new QFormLayout(box);
  layout->setLabelAlignment(Qt::AlignLeft | Qt::AlignTop);
  phase_ = ValueLabel();
  line_ = ValueLabel();
  chunks_ = ValueLabel();
  pages_ = ValueLabel();
  violations_ = ValueLabel();
  verdict_ = ValueLabel();
  layout->addRow("Phase:", phase_);
  layout->addRow("Line:", line_);
  layout->addRow("Loader chunks:", chunks_);
  layout->addRow("Pages written:", pages_);
  layout->addRow("Violations:", violations_);
  layout->addRow("Verdict:", verdict_);
  return box;
}

void DeviceWindow::StepChosen() {
  const StepName& step = StepNames()[static_cast<std::size_t>(std::max(0, step_->currentIndex()))];
  const int last = step.banked
                       ? PagesIn(static_cast<std::uint8_t>(bank_->currentData().toInt())) - 1
                       : step.last_index;
  index_->setRange(0, last);
  index_->setEnabled(step.last_index > 0);
  bank_->setEnabled(step.banked);
}

void DeviceWindow::ArmChosenFault() {
  sim::Fault fault;
  const StepName& step = StepNames()[static_cast<std::size_t>(step_->currentIndex())];
  fault.at.step = step.step;
  if (step.last_index > 0) fault.at.index = index_->value();
  if (step.banked) fault.at.bank = static_cast<std::uint8_t>(bank_->currentData().toInt());
  fault.kind = KindNames()[static_cast<std::size_t>(kind_->currentIndex())].kind;
  fault.times = every_time_->isChecked() ? 0 : 1;
  if (!ArmFault(fault)) armed_list_->setText(Text(Describe(fault.kind) + " cannot happen there"));
}

bool DeviceWindow::ArmFault(const sim::Fault& fault) {
  if (!velka_.Arm(fault)) return false;
  // The choosers show the last fault armed, however it was armed.
  for (std::size_t s = 0; s < StepNames().size(); ++s) {
    if (StepNames()[s].step == fault.at.step) step_->setCurrentIndex(static_cast<int>(s));
  }
  if (StepNames()[static_cast<std::size_t>(step_->currentIndex())].banked) {
    bank_->setCurrentIndex(bank_->findData(fault.at.bank));
  }
  StepChosen();
  index_->setValue(fault.at.index);
  for (std::size_t k = 0; k < KindNames().size(); ++k) {
    if (KindNames()[k].kind == fault.kind) kind_->setCurrentIndex(static_cast<int>(k));
  }
  every_time_->setChecked(fault.times == 0);
  armed_.push_back(Describe(fault));
  ShowArmed();
  return true;
}

void DeviceWindow::ShowArmed() {
  std::string text;
  for (const std::string& fault : armed_) text += (text.empty() ? "" : "\n") + fault;
  armed_list_->setText(text.empty() ? "none" : Text(text));
}

void DeviceWindow::ShowPower() {
  power_->setText(power_->isChecked() ? "ON (press to switch off)" : "OFF (press to switch on)");
  // The kind of device cannot change under power.
  scenario_->setEnabled(!power_->isChecked());
}

void DeviceWindow::SetPower(bool on) { power_->setChecked(on); }

void DeviceWindow::SetAdapterPlugged(bool plugged) { plugged_->setChecked(plugged); }

void DeviceWindow::SetScenario(int index) { scenario_->setCurrentIndex(index); }

void DeviceWindow::Refresh() {
  const sim::Status status = velka_.GetStatus();
  std::string last_violation;
  if (status.violations > 0) last_violation = velka_.Violations().back().text;
  phase_->setText(Text(PhaseText(status)));
  line_->setText(Text(LineText(status)));
  chunks_->setText(Text(ChunksText(status)));
  pages_->setText(Text(PagesText(status)));
  violations_->setText(Text(ViolationsText(status, last_violation)));
  verdict_->setText(Text(VerdictText(velka_.FlashDifference())));
  // A fault or a power cut can pull the plug or switch the device off by itself.
  const QSignalBlocker block_plug(plugged_);
  plugged_->setChecked(status.adapter_plugged);
  if (power_->isChecked() != (status.phase != sim::Phase::kOff)) {
    const QSignalBlocker block_power(power_);
    power_->setChecked(status.phase != sim::Phase::kOff);
    ShowPower();
  }
  FollowMainWindow();
}

void DeviceWindow::PlaceBesideMainWindow() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect desktop = screen->virtualGeometry();
  const QSize frame = frameGeometry().size().expandedTo(size());
  move(BesideOf(ExpectedMainWindowFrame(desktop), frame, desktop));
}

void DeviceWindow::FollowMainWindow() {
  if (followed_main_window_ || Updater == nullptr) return;
  QWidget* main = forms::WidgetOf(*Updater);
  if (main == nullptr || !main->isVisible()) return;
  followed_main_window_ = true;
  if (!main->frameGeometry().intersects(frameGeometry())) return;
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  move(BesideOf(main->frameGeometry(), frameGeometry().size(), screen->virtualGeometry()));
}

}  // namespace simprog
