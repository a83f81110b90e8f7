#pragma once
// CAutoTuningEntryFlow: what comes before the tuning window. The danger notice, then the setting
// guide, each modal; only OK on both lets the tuning window open. User-interface thread only.
class QWidget;

namespace kvl {
class CWindowContext;
}

namespace kvl::tuning {

class CAutoTuningEntryFlow {
public:
    // Shows the notice and, when it ends with OK, the guide. True when both ended with OK.
    static bool Run(CWindowContext &context, QWidget *parent);
};

} // namespace kvl::tuning
