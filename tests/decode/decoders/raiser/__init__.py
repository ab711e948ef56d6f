'''
A decoder that misbehaves, for the tests of what the program does then.
'''

from .pd import Decoder
