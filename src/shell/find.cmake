# The find window's and the template window's models and the template file.
target_sources(rekna_shell PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/find_model.cpp
)
target_sources(rekna_shell PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/template_tree.cpp
  ${CMAKE_CURRENT_LIST_DIR}/template_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/template_memo.cpp
)
