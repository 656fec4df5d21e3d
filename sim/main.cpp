// Placeholder until the virtual card lands.
int main() {
    return 0;
}
