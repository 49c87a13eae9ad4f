# TONNAGE_PYTHON: a Python that can import markdown (Debian's python3-markdown),
# which the help pages are made with. A Python of the user's own (pyenv, a
# virtual environment) may come first on the PATH without it; the system's
# Python is then taken.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
if(NOT TONNAGE_PYTHON)
  foreach(candidate ${Python3_EXECUTABLE} /usr/bin/python3)
    execute_process(COMMAND ${candidate} -c "import markdown"
                    RESULT_VARIABLE no_markdown OUTPUT_QUIET ERROR_QUIET)
    if(no_markdown EQUAL 0)
      set(TONNAGE_PYTHON ${candidate} CACHE FILEPATH "Python with the markdown module")
      break()
    endif()
  endforeach()
  if(NOT TONNAGE_PYTHON)
    message(FATAL_ERROR "No Python here can import markdown: install python3-markdown")
  endif()
endif()
