#pragma once
// Where the station page gets its parameters: from the page of the operation (the wipe page's
// SO PIN, the PKI page's fields), through the main window that holds both.
#include "pagekit/StationParameters.h"
#include "station/Station.h"

class StationParameterSource {
  public:
    // The operation's parameters, checked by its page's rules: false when refused, after a
    // field's message box or with `parameters.refusal` set.
    virtual bool TakeStationParameters(StationOperation operation, StationParameters& parameters) = 0;

  protected:
    ~StationParameterSource() = default;
};

// The main window's source, or null without one.
StationParameterSource* CurrentStationParameterSource();
