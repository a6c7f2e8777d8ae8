#pragma once

#include <QTimer>
#include <QWidget>
#include <string>
#include <vector>

#include "simulator/faults.h"
#include "simulator/velka.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace simprog {

// "Simulated Velka": the device's side of an update, as a person at the bench has it.
// The plug, the power switch, which kind of device it is, a fault to aim at a step,
// and what the device has seen so far (refreshed whenever the GUI thread is free).
class DeviceWindow final : public QWidget {
 public:
  explicit DeviceWindow(sim::Velka& velka);

  // The same as working the window's controls.
  void SetPower(bool on);
  void SetAdapterPlugged(bool plugged);
  void SetScenario(int index);  // into ScenarioNames()
  bool ArmFault(const sim::Fault& fault);

  // Re-reads the device; the refresh timer calls it, a script may call it directly.
  void Refresh();
  // Beside where the updater's main window goes; again once it shows, should the real
  // window frame differ from the expected one enough to overlap.
  void PlaceBesideMainWindow();

 private:
  QWidget* MakeAdapterBox();
  QWidget* MakeDeviceBox();
  QWidget* MakeFaultBox();
  QWidget* MakeSeenBox();
  void StepChosen();
  void ArmChosenFault();
  void ShowArmed();
  void ShowPower();
  void FollowMainWindow();

  sim::Velka& velka_;
  QTimer refresh_;
  bool followed_main_window_ = false;
  std::vector<std::string> armed_;

  QCheckBox* plugged_ = nullptr;
  QComboBox* open_fault_ = nullptr;
  QPushButton* power_ = nullptr;
  QComboBox* scenario_ = nullptr;
  QComboBox* step_ = nullptr;
  QSpinBox* index_ = nullptr;
  QComboBox* bank_ = nullptr;
  QComboBox* kind_ = nullptr;
  QCheckBox* every_time_ = nullptr;
  QLabel* armed_list_ = nullptr;
  QLabel* phase_ = nullptr;
  QLabel* line_ = nullptr;
  QLabel* chunks_ = nullptr;
  QLabel* pages_ = nullptr;
  QLabel* violations_ = nullptr;
  QLabel* verdict_ = nullptr;
};

}  // namespace simprog
