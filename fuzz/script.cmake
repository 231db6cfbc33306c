# Arbitrary text through the script interpreter, as statements and as an expression.
rekna_fuzz(fuzz_script SOURCES fuzz_script.cpp DEPS rekna_script)
