#include "backup/CBackupTable.h"

#include "base/CModelTraits.h"
#include "config/CAppSettings.h"
#include "points/CPointCsv.h"
#include "points/CPointCsvCheck.h"
#include "points/CPointTableSetup.h"
#include "points/CStepRules.h"

namespace kvl::backup {

namespace {

points::CStepRules MakeRules(const CAppSettings *settings, const std::string &model, std::int32_t operationTypeRaw)
{
    points::CStepContext context;
    context.model = model;
    context.online = true;
    context.decimals = CBackupTable::kFinestDecimals;
    context.operationType = CModelTraits::Of(model).OperationTypeOfRaw(operationTypeRaw);
    const points::CStepTexts texts = settings ? points::CPointTableSetup::Texts(*settings, model) : points::CStepTexts{};
    return points::CStepRules(context, texts);
}

} // namespace

CBackupTable::CBackupTable(const CAppSettings *settings, const std::string &model, std::int32_t operationTypeRaw)
    : m_model(model),
      m_table(MakeRules(settings, model, operationTypeRaw))
{
    m_table.Reset(false);
}

void CBackupTable::FromBusLines(const std::vector<std::string> &lines)
{
    m_table.ImportReadLines(lines);
}

bool CBackupTable::FromCsv(const CCodePageText &file, std::string &problem)
{
    const std::string content = file.ToUtf8();
    const points::CsvCheckReport check = points::CPointCsvCheck::Verify(m_table, content);
    if (!check.accepted) {
        problem = (check.line > 0 ? "line " + std::to_string(check.line) + ": " : std::string()) + check.reason;
        return false;
    }
    points::CPointCsv::LoadText(m_table, content);
    return true;
}

std::vector<std::string> CBackupTable::Steps() const
{
    std::vector<std::string> steps;
    steps.reserve(static_cast<size_t>(m_table.StepCount()));
    for (int s = 0; s < m_table.StepCount(); ++s) {
        steps.push_back(m_table.Working(s).IsEmpty() ? std::string() : points::CPointCsv::DataLine(m_table, s));
    }
    return steps;
}

CCodePageText CBackupTable::Csv() const
{
    return points::CPointCsv::Encode(m_table);
}

} // namespace kvl::backup
