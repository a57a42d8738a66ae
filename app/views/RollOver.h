// What a container asks of the controls it highlights while the mouse is over them.
#pragma once

class RollOver {
public:
    virtual bool isRollOvered() const = 0;
    virtual void setRollOvered(bool rolledOver) = 0;

protected:
    ~RollOver() = default;
};
