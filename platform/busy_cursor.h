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

// Shows the hourglass for as long as it lives and the default pointer
// after, also when the work in between fails. A guard inside another one
// restores the default pointer when it ends, as the absolute pointer
// states do.
class BusyCursor {
public:
    explicit BusyCursor(IBusyCursor& cursor) : cursor_(cursor) { cursor_.SetHourglass(); }
    ~BusyCursor() { cursor_.SetDefault(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    IBusyCursor& cursor_;
};

}  // namespace thrustlet
