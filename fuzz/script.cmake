# Arbitrary text through the script interpreter, as statements and as an expression.
rekna_fuzz(fuzz_script SOURCES fuzz_script.cpp DEPS rekna_script)
# Arbitrary text as a memo's script line through the host and the object Rekna.
rekna_fuzz(fuzz_script_site SOURCES fuzz_script_site.cpp DEPS rekna_script)
