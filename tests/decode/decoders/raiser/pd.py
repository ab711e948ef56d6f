import sigrokdecode as srd

class Decoder(srd.Decoder):
    api_version = 3
    id = 'raiser'
    name = 'Raiser'
    longname = 'Raises an exception'
    desc = 'Marks the first edge of its line, then raises an exception.'
    license = 'gplv2+'
    inputs = ['logic']
    outputs = []
    tags = ['Debug']
    channels = ({'id': 'data', 'name': 'Data', 'desc': 'Data line'},)
    annotations = (('edge', 'Edge'),)

    def reset(self):
        pass

    def start(self):
        self.out_ann = self.register(srd.OUTPUT_ANN)

    def decode(self):
        self.wait({0: 'e'})
        self.put(self.samplenum, self.samplenum + 1, self.out_ann, [0, ['edge']])
        raise ValueError('no sense in this edge')
