// Placeholder: replaced by the real command line.
int main() { return 0; }
