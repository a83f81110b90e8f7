#include "params/CAxisParamSetup.h"

#include "config/CAppSettings.h"
#include "params/CParamListRules.h"
#include "params/CParamRules.h"
#include "protocol/CBusScanner.h"

namespace kvl::params {

bool CAxisParamSetup::Open(const CAppSettings &settings, std::uint8_t address, const DeviceIdentity &identity,
                           int accessLevel)
{
    if (!settings.OpenAxisParamStore(m_store, identity.model))
        return false;
    m_language = settings.Language();
    m_target.address = address;
    m_target.model = identity.model;
    m_target.version = identity.version;
    m_target.accessLevel = accessLevel;
    CParamList::Axis who{identity.model, identity.version, identity.name, 0};
    m_driver.Load(m_store, who, nullptr);
    m_lists = std::make_unique<CParamListPair>(m_driver);
    m_count = CParamList::CountFor(who);
    return true;
}

bool CAxisParamSetup::HasParameter(int number) const
{
    return CParamRules::NumberExists(number, m_count) && !m_driver.At(number).IsEmpty();
}

std::string CAxisParamSetup::NumberRangesText() const
{
    return CParamListRules::NumberRangesText(m_driver, m_count);
}

} // namespace kvl::params
