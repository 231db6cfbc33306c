# Tests of the find window's and the template window's models and of the template file.
target_sources(shell_test PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/find_model_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/template_file_test.cpp
)
