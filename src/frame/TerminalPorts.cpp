#include "TerminalPorts.h"

#include "ports/PortEngine.h"

namespace {

class CDefaultTerminalPorts final : public CTerminalPorts
{
public:
    CPortEngine *port(int) override { return nullptr; }
    bool open(const TerminalSettings &, const std::function<void(const QString &)> &) override
    {
        return false;
    }
};

} // namespace

std::unique_ptr<CTerminalPorts> createDefaultTerminalPorts()
{
    return std::make_unique<CDefaultTerminalPorts>();
}
