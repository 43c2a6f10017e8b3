#include "modconv/converter_entry.hpp"

int main(int argc, char** argv) { return melvo::ConverterMain(argc, argv); }
