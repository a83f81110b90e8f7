# Sources of the parameter model (parameter records, rules, the axis' parameter list).
set(KVL_PARAM_MODEL_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/CParamData.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/CParamRules.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/CParamList.cpp
)
