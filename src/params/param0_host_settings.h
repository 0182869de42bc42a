// The media-type dialog's keys in the host settings file, through the settings store.
#pragma once

#include "params/param0_model.h"

namespace sonavid {

class Param0HostSettings : public Param0Settings {
 public:
  explicit Param0HostSettings(const PluginState& state) : state_(state) {}

  bool readOmitMode() override;
  void writeOmitMode(bool omit) override;
  void writeDefaults() override;

 private:
  const PluginState& state_;
};

}  // namespace sonavid
