// TScopedFlag: a flag raised for as long as a scope lasts and put back as it was when the scope
// ends, by an exception too.
#pragma once

namespace rekna {

class TScopedFlag {
public:
    explicit TScopedFlag(bool& flag) noexcept : FFlag(flag), FWas(flag) { FFlag = true; }
    ~TScopedFlag() { FFlag = FWas; }
    TScopedFlag(const TScopedFlag&) = delete;
    TScopedFlag& operator=(const TScopedFlag&) = delete;

private:
    bool& FFlag;
    bool FWas;
};

}  // namespace rekna
