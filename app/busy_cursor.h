#pragma once

namespace thrustlet {

// The screen's mouse pointer: the hourglass while a calculation or a file
// load runs, the default pointer otherwise. Both calls set an absolute state;
// they do not nest.
class IBusyCursor {
public:
    virtual ~IBusyCursor() = default;
    virtual void SetHourglass() = 0;
    virtual void SetDefault() = 0;
    virtual bool IsHourglass() const = 0;
};

// The application-wide override cursor of Qt.
class QtBusyCursor : public IBusyCursor {
public:
    void SetHourglass() override;
    void SetDefault() override;
    bool IsHourglass() const override;
};

}  // namespace thrustlet
