# The hand that drags with real input (handdrag.hpp): a library of its own, without the test
# framework, shared by the test programs and the demo's autoplay (demo/ovkdemo_drag.cpp,
# demo/ovkdemo_dragwin.cpp), so that it is built with the demo when the tests are not.
add_library(ovk_handdrag STATIC ${CMAKE_CURRENT_LIST_DIR}/handdrag.cpp)
target_include_directories(ovk_handdrag PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(ovk_handdrag PUBLIC ovkwin user32 PRIVATE ovk_warnings)
