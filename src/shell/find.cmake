# The find window's and the template window's models and the template file.
target_sources(rekna_shell PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/find_model.cpp
)
